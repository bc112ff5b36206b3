// Immediate mode: the vertices between glBegin and glEnd, turned into triangles or line
// segments and gathered into runs, each drawn in one call when the state it depends on
// changes (or, while a display list is compiled, recorded into the list).
#include <cstring>

#include "platform/web/gl/layer.h"

static GLenum primitiveMode = 0;
static bool insidePrimitive = false;
static std::vector<LayerVertex> primitive;  // as given, in the order given

// What has been gathered and not yet drawn: one batch, eye coordinates.
static Batch pending = {triangleBatch, 1.0f, true, true, true, {}};

// The attributes a vertex takes while a list is compiled.
void listAttributes(LayerVertex& v);

void flushImmediate()
{
    if (pending.vertices.empty())
        return;
    drawBatch(pending, false);
    pending.vertices.clear();
}

void addPrimitive(BatchKind kind, const std::vector<LayerVertex>& vertices)
{
    const float width = kind == wideLineBatch ? lineWidthNow() : 1.0f;
    if (compilingList()) {
        recordIntoList(kind, width, vertices);
        return;
    }
    if (!pending.vertices.empty() && (pending.kind != kind || pending.lineWidth != width))
        flushImmediate();
    pending.kind = kind;
    pending.lineWidth = width;
    pending.vertices.insert(pending.vertices.end(), vertices.begin(), vertices.end());
}

// The triangles of a filled primitive: strips alternate their winding, fans and polygons
// turn about their first vertex, quads split along the diagonal from their first vertex.
static void triangles(std::vector<LayerVertex>& out)
{
    const int n = static_cast<int>(primitive.size());
    auto add = [&](int a, int b, int c) {
        out.push_back(primitive[a]);
        out.push_back(primitive[b]);
        out.push_back(primitive[c]);
    };
    switch (primitiveMode) {
    case GL_TRIANGLES:
        for (int i = 0; i + 2 < n; i += 3)
            add(i, i + 1, i + 2);
        break;
    case GL_TRIANGLE_STRIP:
        for (int i = 0; i + 2 < n; i++) {
            if (i % 2 == 0)
                add(i, i + 1, i + 2);
            else
                add(i + 1, i, i + 2);
        }
        break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (int i = 1; i + 1 < n; i++)
            add(0, i, i + 1);
        break;
    case GL_QUADS:
        for (int i = 0; i + 3 < n; i += 4) {
            add(i, i + 1, i + 2);
            add(i, i + 2, i + 3);
        }
        break;
    case GL_QUAD_STRIP:
        for (int i = 0; i + 3 < n; i += 2) {
            add(i, i + 1, i + 3);
            add(i, i + 3, i + 2);
        }
        break;
    default:
        break;
    }
}

// The segments of a line primitive, two ends each.
static void segments(std::vector<LayerVertex>& out)
{
    const int n = static_cast<int>(primitive.size());
    auto add = [&](int a, int b) {
        out.push_back(primitive[a]);
        out.push_back(primitive[b]);
    };
    if (primitiveMode == GL_LINES) {
        for (int i = 0; i + 1 < n; i += 2)
            add(i, i + 1);
        return;
    }
    for (int i = 0; i + 1 < n; i++)
        add(i, i + 1);
    if (primitiveMode == GL_LINE_LOOP && n > 2)
        add(n - 1, 0);
}

static bool lineMode(GLenum mode)
{
    return mode == GL_LINES || mode == GL_LINE_STRIP || mode == GL_LINE_LOOP;
}

extern "C" {

void glBegin(GLenum mode)
{
    if (insidePrimitive)
        return;  // GL's invalid operation: ignored
    primitiveMode = mode;
    insidePrimitive = true;
    primitive.clear();
}

void glEnd()
{
    if (!insidePrimitive)
        return;
    insidePrimitive = false;
    std::vector<LayerVertex> out;
    if (lineMode(primitiveMode)) {
        segments(out);
        const bool wide = lineWidthNow() > 1.0f;
        if (!out.empty())
            addPrimitive(wide ? wideLineBatch : lineBatch, out);
    } else {
        triangles(out);
        if (!out.empty())
            addPrimitive(triangleBatch, out);
    }
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!insidePrimitive)
        return;
    LayerVertex v;
    if (compilingList()) {
        // A list keeps its own coordinates; its attributes are those given inside it.
        v.position[0] = x;
        v.position[1] = y;
        v.position[2] = z;
        listAttributes(v);
    } else {
        const float object[4] = {x, y, z, 1.0f};
        float eye[4];
        transformPoint(modelViewMatrix(), object, eye);
        std::memcpy(v.position, eye, sizeof v.position);
        // Only lighting reads a normal: a run is drawn whole before lighting changes.
        const float* c = layer.normal;
        if (layer.lighting) {
            float n[9];
            normalMatrix(n);
            for (int row = 0; row < 3; row++)
                v.normal[row] = n[row] * c[0] + n[3 + row] * c[1] + n[6 + row] * c[2];
        } else {
            std::memcpy(v.normal, c, sizeof v.normal);
        }
        std::memcpy(v.colour, layer.colour, sizeof v.colour);
        std::memcpy(v.texCoord, layer.texCoord, sizeof v.texCoord);
    }
    primitive.push_back(v);
}

void glVertex2f(GLfloat x, GLfloat y) { glVertex3f(x, y, 0.0f); }

void glVertex2d(GLdouble x, GLdouble y)
{
    glVertex3f(static_cast<float>(x), static_cast<float>(y), 0.0f);
}

}  // extern "C"
