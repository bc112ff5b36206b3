// The fixed-function switches and values the game sets (lighting, the two lights, the front
// material, texturing, the current colour and line width), and the calls that pass straight
// on to WebGL once what was gathered under the old state has been drawn.
#include <cstring>

#include "platform/web/gl/layer.h"

LayerState layer;

static void copy4(float* to, float a, float b, float c, float d)
{
    to[0] = a;
    to[1] = b;
    to[2] = c;
    to[3] = d;
}

void resetLayerState()
{
    std::memset(&layer, 0, sizeof layer);
    copy4(layer.colour, 1, 1, 1, 1);
    layer.normal[2] = 1;
    layer.lineWidth = 1;
    for (int i = 0; i < 2; i++) {
        LightSource& light = layer.lights[i];
        copy4(light.ambient, 0, 0, 0, 1);
        // Light 0 is white by default, the others dark.
        const float on = i == 0 ? 1.0f : 0.0f;
        copy4(light.diffuse, on, on, on, 1);
        copy4(light.specular, on, on, on, 1);
        copy4(light.position, 0, 0, 1, 0);
        light.attenuation[0] = 1;
    }
    copy4(layer.material.ambient, 0.2f, 0.2f, 0.2f, 1);
    copy4(layer.material.diffuse, 0.8f, 0.8f, 0.8f, 1);
    copy4(layer.material.specular, 0, 0, 0, 1);
    copy4(layer.material.emission, 0, 0, 0, 1);
    layer.blendSource = GL_ONE;
    layer.blendDestination = GL_ZERO;
    resetMatrices();
}

void restoreContextState()
{
    const GLenum caps[3] = {GL_DEPTH_TEST, GL_BLEND, GL_SCISSOR_TEST};
    const bool on[3] = {layer.depthTest, layer.blend, layer.scissorTest};
    for (int i = 0; i < 3; i++) {
        if (on[i])
            emscripten_glEnable(caps[i]);
        else
            emscripten_glDisable(caps[i]);
    }
    emscripten_glClearColor(layer.clearColour[0], layer.clearColour[1], layer.clearColour[2],
                            layer.clearColour[3]);
    emscripten_glBlendFunc(layer.blendSource, layer.blendDestination);
    emscripten_glViewport(layer.viewport[0], layer.viewport[1], layer.viewport[2],
                          layer.viewport[3]);
    emscripten_glScissor(layer.scissor[0], layer.scissor[1], layer.scissor[2], layer.scissor[3]);
}

// Which switch a capability names; null for one the layer does not keep.
static bool* switchFor(GLenum cap)
{
    switch (cap) {
    case GL_LIGHTING: return &layer.lighting;
    case GL_LIGHT0: return &layer.lights[0].enabled;
    case GL_LIGHT1: return &layer.lights[1].enabled;
    case GL_TEXTURE_2D: return &layer.texturing;
    case GL_DEPTH_TEST: return &layer.depthTest;
    case GL_BLEND: return &layer.blend;
    case GL_SCISSOR_TEST: return &layer.scissorTest;
    default: return nullptr;
    }
}

static void setSwitch(GLenum cap, bool on)
{
    bool* flag = switchFor(cap);
    if (!flag || *flag == on)
        return;
    flushImmediate();
    *flag = on;
    if (cap == GL_DEPTH_TEST || cap == GL_BLEND || cap == GL_SCISSOR_TEST) {
        if (on)
            emscripten_glEnable(cap);
        else
            emscripten_glDisable(cap);
    }
}

static LightSource* lightFor(GLenum light)
{
    if (light == GL_LIGHT0)
        return &layer.lights[0];
    if (light == GL_LIGHT1)
        return &layer.lights[1];
    return nullptr;
}

// Attributes given while a list is compiled belong to the list, not to the current state.
void setListColour(const float colour[4]);
void setListNormal(const float normal[3]);
void setListTexCoord(const float texCoord[2]);
void setListLineWidth(float width);

extern "C" {

void glEnable(GLenum cap) { setSwitch(cap, true); }
void glDisable(GLenum cap) { setSwitch(cap, false); }

GLboolean glIsEnabled(GLenum cap)
{
    const bool* flag = switchFor(cap);
    return flag && *flag ? GL_TRUE : GL_FALSE;
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    const float colour[4] = {red, green, blue, alpha};
    if (compilingList())
        setListColour(colour);
    else
        std::memcpy(layer.colour, colour, sizeof colour);
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    const float normal[3] = {x, y, z};
    if (compilingList())
        setListNormal(normal);
    else
        std::memcpy(layer.normal, normal, sizeof normal);
}

void glTexCoord2f(GLfloat s, GLfloat t)
{
    const float texCoord[2] = {s, t};
    if (compilingList())
        setListTexCoord(texCoord);
    else
        std::memcpy(layer.texCoord, texCoord, sizeof texCoord);
}

void glLineWidth(GLfloat width)
{
    if (!(width > 0.0f))
        return;  // GL refuses it
    if (compilingList())
        setListLineWidth(width);
    else
        layer.lineWidth = width;  // the runs of wide lines keep their own width
}

void glLightf(GLenum light, GLenum pname, GLfloat param) { glLightfv(light, pname, &param); }

void glLightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    LightSource* source = lightFor(light);
    if (!source)
        return;
    flushImmediate();
    switch (pname) {
    case GL_AMBIENT: std::memcpy(source->ambient, params, 4 * sizeof(float)); break;
    case GL_DIFFUSE: std::memcpy(source->diffuse, params, 4 * sizeof(float)); break;
    case GL_SPECULAR: std::memcpy(source->specular, params, 4 * sizeof(float)); break;
    // A position is taken into eye coordinates as the model-view matrix stands now.
    case GL_POSITION: transformPoint(modelViewMatrix(), params, source->position); break;
    case GL_CONSTANT_ATTENUATION: source->attenuation[0] = params[0]; break;
    case GL_LINEAR_ATTENUATION: source->attenuation[1] = params[0]; break;
    case GL_QUADRATIC_ATTENUATION: source->attenuation[2] = params[0]; break;
    default: break;
    }
}

// One-sided lighting lights every face with the front material.
void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params)
{
    if (face != GL_FRONT && face != GL_FRONT_AND_BACK)
        return;
    flushImmediate();
    FrontMaterial& m = layer.material;
    switch (pname) {
    case GL_AMBIENT: std::memcpy(m.ambient, params, 4 * sizeof(float)); break;
    case GL_DIFFUSE: std::memcpy(m.diffuse, params, 4 * sizeof(float)); break;
    case GL_SPECULAR: std::memcpy(m.specular, params, 4 * sizeof(float)); break;
    case GL_EMISSION: std::memcpy(m.emission, params, 4 * sizeof(float)); break;
    case GL_SHININESS: m.shininess = params[0]; break;
    default: break;
    }
}

// Smooth shading is all the game asks for, and all the shaders do.
void glShadeModel(GLenum) {}

void glClear(GLbitfield mask)
{
    flushImmediate();
    emscripten_glClear(mask);
}

void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    copy4(layer.clearColour, red, green, blue, alpha);
    emscripten_glClearColor(red, green, blue, alpha);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    flushImmediate();
    const GLint v[4] = {x, y, width, height};
    std::memcpy(layer.viewport, v, sizeof v);
    emscripten_glViewport(x, y, width, height);
}

void glScissor(GLint x, GLint y, GLsizei width, GLsizei height)
{
    flushImmediate();
    const GLint s[4] = {x, y, width, height};
    std::memcpy(layer.scissor, s, sizeof s);
    emscripten_glScissor(x, y, width, height);
}

void glBlendFunc(GLenum source, GLenum destination)
{
    flushImmediate();
    layer.blendSource = source;
    layer.blendDestination = destination;
    emscripten_glBlendFunc(source, destination);
}

void glGetIntegerv(GLenum pname, GLint* params)
{
    switch (pname) {
    case GL_RENDER_MODE: params[0] = GL_RENDER; break;  // no feedback or selection here
    case GL_MATRIX_MODE: params[0] = static_cast<GLint>(currentMatrixMode()); break;
    case GL_MODELVIEW_STACK_DEPTH: params[0] = matrixStackDepth(GL_MODELVIEW); break;
    case GL_PROJECTION_STACK_DEPTH: params[0] = matrixStackDepth(GL_PROJECTION); break;
    case GL_VIEWPORT: std::memcpy(params, layer.viewport, sizeof layer.viewport); break;
    default: emscripten_glGetIntegerv(pname, params); break;
    }
}

}  // extern "C"
