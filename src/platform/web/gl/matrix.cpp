// The model-view and projection matrix stacks, as fixed-function GL keeps them: single
// precision, column-major, every double argument narrowed to float on the way in.
#include <cmath>
#include <cstring>

#include "platform/web/gl/layer.h"

static const int modelViewDepth = 32;  // GL's least: the game never goes beyond 4
static const int projectionDepth = 4;

static float modelViewStack[modelViewDepth][16];
static float projectionStack[projectionDepth][16];
static int modelViewTop = 0, projectionTop = 0;
static GLenum matrixMode = GL_MODELVIEW;

static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

static float* current()
{
    return matrixMode == GL_PROJECTION ? projectionStack[projectionTop]
                                       : modelViewStack[modelViewTop];
}

// The projection is a uniform of the shaders: what was gathered under the old one is drawn
// first. The model-view is applied to immediate vertices as they come, so it needs nothing.
static void beforeChange()
{
    if (matrixMode == GL_PROJECTION)
        flushImmediate();
}

const float* modelViewMatrix() { return modelViewStack[modelViewTop]; }
const float* projectionMatrix() { return projectionStack[projectionTop]; }

GLenum currentMatrixMode() { return matrixMode; }
int matrixStackDepth(GLenum mode)
{
    return (mode == GL_PROJECTION ? projectionTop : modelViewTop) + 1;
}

void resetMatrices()
{
    std::memcpy(modelViewStack[0], identity, sizeof identity);
    std::memcpy(projectionStack[0], identity, sizeof identity);
    modelViewTop = projectionTop = 0;
    matrixMode = GL_MODELVIEW;
}

void transformPoint(const float m[16], const float in[4], float out[4])
{
    for (int row = 0; row < 4; row++)
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
}

void normalMatrix(float out[9])
{
    // The inverse of the upper 3 x 3 by its cofactors, transposed: the game's model-view
    // matrices are rotations and translations, for which this is the rotation itself.
    const float* m = modelViewMatrix();
    const float a = m[0], b = m[4], c = m[8];
    const float d = m[1], e = m[5], f = m[9];
    const float g = m[2], h = m[6], i = m[10];
    const float co[9] = {e * i - f * h, f * g - d * i, d * h - e * g,
                         c * h - b * i, a * i - c * g, b * g - a * h,
                         b * f - c * e, c * d - a * f, a * e - b * d};
    float det = a * co[0] + b * co[1] + c * co[2];
    if (det == 0.0f)
        det = 1.0f;  // a flattened matrix: any normal will do
    // Column-major: column k holds the cofactors of the original's row k.
    for (int k = 0; k < 9; k++)
        out[k] = co[k] / det;
}

static void multiply(const float m[16])
{
    beforeChange();
    float* top = current();
    float result[16];
    for (int col = 0; col < 4; col++)
        for (int row = 0; row < 4; row++)
            result[col * 4 + row] = top[row] * m[col * 4] + top[4 + row] * m[col * 4 + 1] +
                                    top[8 + row] * m[col * 4 + 2] + top[12 + row] * m[col * 4 + 3];
    std::memcpy(top, result, sizeof result);
}

extern "C" {

void glMatrixMode(GLenum mode)
{
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION)
        matrixMode = mode;
}

void glLoadIdentity()
{
    beforeChange();
    std::memcpy(current(), identity, sizeof identity);
}

void glPushMatrix()
{
    int& top = matrixMode == GL_PROJECTION ? projectionTop : modelViewTop;
    const int depth = matrixMode == GL_PROJECTION ? projectionDepth : modelViewDepth;
    if (top + 1 >= depth)
        return;  // GL's stack overflow: the call is ignored
    float* below = current();
    top++;
    std::memcpy(current(), below, 16 * sizeof(float));
}

void glPopMatrix()
{
    int& top = matrixMode == GL_PROJECTION ? projectionTop : modelViewTop;
    if (top == 0)
        return;  // GL's stack underflow: the call is ignored
    beforeChange();
    top--;
}

void glMultMatrixd(const GLdouble* m)
{
    float narrowed[16];
    for (int k = 0; k < 16; k++)
        narrowed[k] = static_cast<float>(m[k]);
    multiply(narrowed);
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    multiply(m);
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z)
{
    glTranslatef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void glScaled(GLdouble x, GLdouble y, GLdouble z)
{
    const float m[16] = {static_cast<float>(x), 0, 0, 0, 0, static_cast<float>(y), 0, 0,
                         0, 0, static_cast<float>(z), 0, 0, 0, 0, 1};
    multiply(m);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f)
        return;
    x /= length;
    y /= length;
    z /= length;
    const float s = static_cast<float>(std::sin(angle * M_PI / 180.0));
    const float c = static_cast<float>(std::cos(angle * M_PI / 180.0));
    const float t = 1.0f - c;
    const float m[16] = {x * x * t + c,     y * x * t + z * s, x * z * t - y * s, 0,
                         x * y * t - z * s, y * y * t + c,     y * z * t + x * s, 0,
                         x * z * t + y * s, y * z * t - x * s, z * z * t + c,     0,
                         0,                 0,                 0,                 1};
    multiply(m);
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
             GLdouble zFar)
{
    const float l = static_cast<float>(left), r = static_cast<float>(right);
    const float b = static_cast<float>(bottom), t = static_cast<float>(top);
    const float n = static_cast<float>(zNear), f = static_cast<float>(zFar);
    if (l == r || b == t || n == f)
        return;  // GL refuses an empty volume
    const float m[16] = {2.0f / (r - l), 0, 0, 0,
                         0, 2.0f / (t - b), 0, 0,
                         0, 0, -2.0f / (f - n), 0,
                         -(r + l) / (r - l), -(t + b) / (t - b), -(f + n) / (f - n), 1};
    multiply(m);
}

}  // extern "C"
