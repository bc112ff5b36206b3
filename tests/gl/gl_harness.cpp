// The drawing tests' own main (a real freeglut window with the program's fixed GL state)
// and the helpers that every drawing test shares.
#include "gl_harness.h"

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <GL/freeglut.h>

#include "app/state.h"
#include "render/render.h"

namespace {

const int windowSize = 500;
const double halfFovy = 40.0 * M_PI / 180.0;  // perspective of 80 degrees

// Camera placement per view as (right, up, depth) of a court point: the eye looks along
// depth, right and up are the picture's axes. View 0 sits at z = 2.2 behind the player;
// the others 6 units out from the middle of the court's depth (z = -2).
void eyeSpace(double x, double y, double z, double& right, double& up, double& depth)
{
    switch (viewMode) {
    case 1:  right = z + 2;    up = y;        depth = x + 6; break;  // from the left
    case 2:  right = -(z + 2); up = y;        depth = 6 - x; break;  // from the right
    case 3:  right = x;        up = z + 2;    depth = y + 6; break;  // from below
    case 4:  right = x;        up = -(z + 2); depth = 6 - y; break;  // from above
    default: right = x;        up = y;        depth = 2.2 - z; break;
    }
}

Spot toWindow(double right, double up, double depth, bool ortho)
{
    const double w = windowWidth, h = windowHeight, aspect = w / h;
    double nx, ny;
    if (ortho) {
        nx = right / (2 * aspect);
        ny = up / 2;
    } else {
        nx = right / (depth * std::tan(halfFovy) * aspect);
        ny = up / (depth * std::tan(halfFovy));
    }
    return {(nx + 1) * w / 2, (1 - ny) * h / 2};
}

void noDisplay() {}

void uploadLevelTexture()
{
    // A plain red label stands in for the level image.
    const unsigned char red[2 * 2 * 3] = {255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0};
    glBindTexture(GL_TEXTURE_2D, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, red);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// With VOLKRIN_GL_DUMP set to a directory, every grabbed picture is also written there as a
// numbered PPM file, to look at what a failing test saw.
void dumpIfAsked(const Picture& p)
{
    static int serial = 0;
    const char* dir = std::getenv("VOLKRIN_GL_DUMP");
    if (!dir)
        return;
    const std::string name = std::string(dir) + "/" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                             "-" + std::to_string(serial++) + ".ppm";
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        return;
    std::fprintf(f, "P6\n%d %d\n255\n", p.width, p.height);
    for (int row = p.height - 1; row >= 0; row--)
        std::fwrite(&p.rgb[static_cast<size_t>(row) * p.width * 3], 1,
                    static_cast<size_t>(p.width) * 3, f);
    std::fclose(f);
}

}  // namespace

Spot courtToWindow(double x, double y, double z)
{
    double right, up, depth;
    eyeSpace(x, y, z, right, up, depth);
    return toWindow(right, up, depth, orthographic != 0);
}

Spot hudToWindow(double x, double y)
{
    return toWindow(x, y, 2.2, true);
}

Rgb Picture::at(int col, int rowFromTop) const
{
    const int row = height - 1 - rowFromTop;
    if (col < 0 || col >= width || row < 0 || row >= height)
        return {-1, -1, -1};
    const unsigned char* p = &rgb[(static_cast<size_t>(row) * width + col) * 3];
    return {p[0], p[1], p[2]};
}

Rgb Picture::at(const Spot& s) const
{
    return at(static_cast<int>(std::floor(s.col)), static_cast<int>(std::floor(s.rowFromTop)));
}

bool Picture::blackNear(const Spot& s, int radius) const
{
    const int c = static_cast<int>(std::floor(s.col));
    const int r = static_cast<int>(std::floor(s.rowFromTop));
    for (int dr = -radius; dr <= radius; dr++)
        for (int dc = -radius; dc <= radius; dc++) {
            const Rgb p = at(c + dc, r + dr);
            if (p.r == 0 && p.g == 0 && p.b == 0)
                return true;
        }
    return false;
}

bool Picture::isWhite(const Spot& s) const
{
    const Rgb p = at(s);
    return p.r == 255 && p.g == 255 && p.b == 255;
}

Picture grab()
{
    Picture p;
    p.width = glutGet(GLUT_WINDOW_WIDTH);  // the real window's, whatever the game was told
    p.height = glutGet(GLUT_WINDOW_HEIGHT);
    p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, p.width, p.height, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
    dumpIfAsked(p);
    return p;
}

::testing::AssertionResult colourNear(const Rgb& got, double r, double g, double b,
                                      int tolerance)
{
    if (std::fabs(got.r - r) <= tolerance && std::fabs(got.g - g) <= tolerance &&
        std::fabs(got.b - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << got.r << ", " << got.g << ", "
                                         << got.b << "), expected about (" << r << ", " << g
                                         << ", " << b << ")";
}

::testing::AssertionResult isBlue(const Rgb& c)
{
    if (c.b > c.r + 60 && c.b > c.g + 60)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << c.r << ", " << c.g << ", " << c.b << ") is not lit blue";
}

GlState glState()
{
    GlState s;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelviewDepth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projectionDepth);
    glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
    s.lighting = glIsEnabled(GL_LIGHTING);
    s.light0 = glIsEnabled(GL_LIGHT0);
    s.light1 = glIsEnabled(GL_LIGHT1);
    s.texture2d = glIsEnabled(GL_TEXTURE_2D);
    s.depthTest = glIsEnabled(GL_DEPTH_TEST);
    s.blend = glIsEnabled(GL_BLEND);
    glGetFloatv(GL_LINE_WIDTH, &s.lineWidth);
    glGetIntegerv(GL_BLEND_SRC, &s.blendSrc);
    glGetIntegerv(GL_BLEND_DST, &s.blendDst);
    glGetDoublev(GL_MODELVIEW_MATRIX, s.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, s.projection);
    return s;
}

void expectSameState(const GlState& a, const GlState& b, bool projectionMayChange,
                     const char* what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(a.modelviewDepth, b.modelviewDepth);
    EXPECT_EQ(a.projectionDepth, b.projectionDepth);
    EXPECT_EQ(a.matrixMode, b.matrixMode);
    EXPECT_EQ(a.lighting, b.lighting);
    EXPECT_EQ(a.light0, b.light0);
    EXPECT_EQ(a.light1, b.light1);
    EXPECT_EQ(a.texture2d, b.texture2d);
    EXPECT_EQ(a.depthTest, b.depthTest);
    EXPECT_EQ(a.blend, b.blend);
    EXPECT_EQ(a.lineWidth, b.lineWidth);
    EXPECT_EQ(a.blendSrc, b.blendSrc);
    EXPECT_EQ(a.blendDst, b.blendDst);
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ(a.modelview[i], b.modelview[i]) << "model-view element " << i;
        if (!projectionMayChange) {
            EXPECT_EQ(a.projection[i], b.projection[i]) << "projection element " << i;
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

bool allFinite(const double m[16])
{
    for (int i = 0; i < 16; i++)
        if (!std::isfinite(m[i]))
            return false;
    return true;
}

std::vector<Primitive> captureFeedback(void (*draw)())
{
    static std::vector<GLfloat> buffer(1 << 20);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-20, 20, -20, 20, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    auto slice = [&](GLint from, GLint n) {
        return std::vector<float>(buffer.begin() + from, buffer.begin() + from + n);
    };
    std::vector<Primitive> out;
    for (GLint i = 0; i < count;) {
        const GLint token = static_cast<GLint>(buffer[i++]);
        if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            out.push_back({Primitive::line, slice(i, 6)});
            i += 6;
        } else if (token == GL_POLYGON_TOKEN) {
            const int n = static_cast<int>(buffer[i++]);
            out.push_back({Primitive::polygon, slice(i, 3 * n)});
            i += 3 * n;
        } else if (token == GL_POINT_TOKEN) {
            i += 3;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return out;
}

double fromFeedback(float windowCoord)
{
    return (windowCoord / 250.0 - 1.0) * 20.0;
}

// The real window follows the game's window size, so the back buffer holds every pixel.
void resizeWindow(int w, int h)
{
    glutReshapeWindow(w, h);
    for (int i = 0; i < 400; i++) {
        glutMainLoopEvent();
        if (glutGet(GLUT_WINDOW_WIDTH) == w && glutGet(GLUT_WINDOW_HEIGHT) == h)
            break;
        glutPostRedisplay();  // keeps events flowing while the server catches up
    }
    ASSERT_EQ(glutGet(GLUT_WINDOW_WIDTH), w);
    ASSERT_EQ(glutGet(GLUT_WINDOW_HEIGHT), h);
    // The driver picks up the drawable's new size at a buffer swap.
    glutSwapBuffers();
    applyWindowSize(w, h);
}

void GlTest::SetUp()
{
    resetGameState();
    applyWindowSize(windowSize, windowSize);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.0f);
    while (glGetError() != GL_NO_ERROR) {
    }
}

#ifdef VOLKRIN_LSAN_OPTIONS
// Sanitizer build: the leaks of Mesa's driver are suppressed by its name; any other fails.
extern "C" const char* __lsan_default_options()
{
    return VOLKRIN_LSAN_OPTIONS;
}
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifdef VOLKRIN_GL_DRIVER
    // Held open to the end: Mesa unloads its driver at exit, and the leak check could not
    // then name the driver's own leaks to suppress them.
    if (!dlopen(VOLKRIN_GL_DRIVER, RTLD_NOW | RTLD_GLOBAL)) {
        std::fprintf(stderr, "cannot keep the GL driver loaded: %s\n", dlerror());
        return 1;
    }
#endif
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowSize, windowSize);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("Volkrin drawing tests");
    glutDisplayFunc(noDisplay);  // the tests draw by calling the routines themselves
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);

    // The fixed state that the program's entry sets up before the first frame.
    glEnable(GL_DEPTH_TEST);
    resetGameState();
    ballQuadric = gluNewQuadric();
    livesQuadric = gluNewQuadric();
    pointsQuadric = gluNewQuadric();
    for (GLUquadric* q : {ballQuadric, livesQuadric, pointsQuadric}) {
        gluQuadricDrawStyle(q, GLU_FILL);
        gluQuadricNormals(q, GLU_SMOOTH);
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    initLights();
    uploadLevelTexture();

    return RUN_ALL_TESTS();
}
