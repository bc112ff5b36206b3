// What the files of the GL layer share: fixed-function OpenGL as the game calls it, kept on
// this side and drawn through WebGL, one file for each thing it stands in for.
#pragma once

#include <GL/gl.h>

#include <vector>

// WebGL's own calls under the names the layer takes for itself (emscripten gives every GL
// call a second name for this).
extern "C" {
void emscripten_glEnable(GLenum cap);
void emscripten_glDisable(GLenum cap);
void emscripten_glClear(GLbitfield mask);
void emscripten_glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void emscripten_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void emscripten_glScissor(GLint x, GLint y, GLsizei width, GLsizei height);
void emscripten_glBlendFunc(GLenum source, GLenum destination);
void emscripten_glLineWidth(GLfloat width);
void emscripten_glBindTexture(GLenum target, GLuint texture);
void emscripten_glTexParameteri(GLenum target, GLenum pname, GLint param);
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                             GLsizei height, GLint border, GLenum format, GLenum type,
                             const void* pixels);
void emscripten_glGetIntegerv(GLenum pname, GLint* params);
}

// A vertex as a primitive gave it. Immediate-mode vertices are kept in eye coordinates (the
// model-view matrix applied here), so that runs drawn under different matrices join into one
// draw; a display list keeps its own coordinates and is drawn under the matrix of its call.
struct LayerVertex {
    float position[3];
    float normal[3];
    float colour[4];
    float texCoord[2];
};

// A run of geometry for one draw call. Lines are kept as pairs of ends; wide lines become
// quads on the card, widened across their major axis as GL's aliased wide lines are.
enum BatchKind { triangleBatch, lineBatch, wideLineBatch };
struct Batch {
    BatchKind kind;
    float lineWidth;  // pixels, for wide lines
    // In a display list: whether its vertices carry a colour, normal and texture coordinate
    // given inside the list; those not given are the current ones when the list is called,
    // as in GL.
    bool colourGiven, normalGiven, texCoordGiven;
    std::vector<LayerVertex> vertices;  // three per triangle, two per line
};

// ---- state.cpp: switches and the current vertex attributes -----------------------------
struct LightSource {
    float ambient[4], diffuse[4], specular[4];
    float position[4];  // eye coordinates, as the model-view matrix stood when it was given
    float attenuation[3];  // constant, linear, quadratic
    bool enabled;
};
struct FrontMaterial {
    float ambient[4], diffuse[4], specular[4], emission[4];
    float shininess;
};
struct LayerState {
    bool lighting, texturing, depthTest, blend, scissorTest;
    float colour[4], normal[3], texCoord[2];
    float lineWidth;
    LightSource lights[2];
    FrontMaterial material;
    GLuint boundTexture;  // the game's name
    float clearColour[4];
    GLenum blendSource, blendDestination;
    GLint viewport[4], scissor[4];
};
extern LayerState layer;
void resetLayerState();  // GL's own defaults

// ---- matrix.cpp: the model-view and projection stacks ----------------------------------
const float* modelViewMatrix();
const float* projectionMatrix();
// The upper 3 x 3 of the model-view's inverse transpose, which carries normals to the eye.
void normalMatrix(float out[9]);
void transformPoint(const float m[16], const float in[4], float out[4]);
void resetMatrices();
GLenum currentMatrixMode();
int matrixStackDepth(GLenum mode);  // matrices on the stack of that mode, 1 when only the top

// ---- immediate.cpp: glBegin to glEnd, gathered into batches -----------------------------
// Draws whatever the immediate-mode calls have gathered: called before anything that changes
// how the next vertices will be drawn.
void flushImmediate();
// Adds a finished primitive's triangles or lines to the list being compiled, or to the run
// that will be drawn.
void addPrimitive(BatchKind kind, const std::vector<LayerVertex>& vertices);
bool compilingList();
// The width the next lines are drawn at: the one given in the list being compiled, if any,
// else the current one.
float lineWidthNow();
// Where a primitive goes while a list is being compiled.
void recordIntoList(BatchKind kind, float lineWidth, const std::vector<LayerVertex>& vertices);

// ---- draw.cpp: the shaders and the draw calls -------------------------------------------
// Compiles the shaders and makes the buffers: at start and after a lost context is back.
bool startDrawing();
// Draws one batch: immediate ones as they are (eye coordinates), those of a list under the
// current model-view matrix.
void drawBatch(const Batch& batch, bool underModelView);
// Puts the switches, clear colour, blending, viewport and scissor back on a new context.
void restoreContextState();

// ---- texture.cpp ------------------------------------------------------------------------
GLuint cardTexture(GLuint name);  // WebGL's texture for the game's name, 0 if none
void restoreTextures();

// ---- lists.cpp --------------------------------------------------------------------------
void restoreLists();
