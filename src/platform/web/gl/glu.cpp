// The GLU the game uses, drawn through the layer's immediate mode so that display lists
// record it: the camera and perspective helpers, and filled spheres and cylinders with
// smooth normals, laid out as GLU lays them (slices about the z axis, stacks along it).
#include <GL/glu.h>

#include <cmath>
#include <vector>

struct GLUquadric {
    GLenum drawStyle;
    GLenum normals;
};

// Sine and cosine of each slice's angle; the last repeats the first so the surface closes.
static void sliceAngles(int slices, std::vector<float>& sines, std::vector<float>& cosines)
{
    sines.resize(slices + 1);
    cosines.resize(slices + 1);
    for (int i = 0; i < slices; i++) {
        const double angle = 2.0 * M_PI * i / slices;
        sines[i] = static_cast<float>(std::sin(angle));
        cosines[i] = static_cast<float>(std::cos(angle));
    }
    sines[slices] = sines[0];
    cosines[slices] = cosines[0];
}

extern "C" {

GLUquadric* gluNewQuadric() { return new GLUquadric{GLU_FILL, GLU_SMOOTH}; }

void gluDeleteQuadric(GLUquadric* quadric) { delete quadric; }

void gluQuadricDrawStyle(GLUquadric* quadric, GLenum style)
{
    if (quadric)
        quadric->drawStyle = style;
}

void gluQuadricNormals(GLUquadric* quadric, GLenum normals)
{
    if (quadric)
        quadric->normals = normals;
}

// Stacks run from the +z pole to the -z pole; each is one strip of quads around the axis.
void gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks)
{
    if (!quadric || slices < 2 || stacks < 1 || radius < 0.0)
        return;
    std::vector<float> sines, cosines;
    sliceAngles(slices, sines, cosines);
    const bool normals = quadric->normals != GLU_NONE;
    for (int j = 0; j < stacks; j++) {
        const double upper = M_PI * j / stacks, lower = M_PI * (j + 1) / stacks;
        const float ringUpper = static_cast<float>(std::sin(upper));
        const float ringLower = static_cast<float>(std::sin(lower));
        const float zUpper = static_cast<float>(std::cos(upper));
        const float zLower = static_cast<float>(std::cos(lower));
        glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; i++) {
            const float r = static_cast<float>(radius);
            if (normals)
                glNormal3f(sines[i] * ringUpper, cosines[i] * ringUpper, zUpper);
            glVertex3f(sines[i] * ringUpper * r, cosines[i] * ringUpper * r, zUpper * r);
            if (normals)
                glNormal3f(sines[i] * ringLower, cosines[i] * ringLower, zLower);
            glVertex3f(sines[i] * ringLower * r, cosines[i] * ringLower * r, zLower * r);
        }
        glEnd();
    }
}

// An open tube from z = 0 (radius base) to z = height (radius top), without end caps.
void gluCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height,
                 GLint slices, GLint stacks)
{
    if (!quadric || slices < 2 || stacks < 1 || height == 0.0)
        return;
    std::vector<float> sines, cosines;
    sliceAngles(slices, sines, cosines);
    // The side's normal leans along z as the radius narrows.
    const double slope = (base - top) / height;
    const double length = std::sqrt(1.0 + slope * slope);
    const float across = static_cast<float>(1.0 / length), along = static_cast<float>(slope / length);
    const bool normals = quadric->normals != GLU_NONE;
    for (int j = 0; j < stacks; j++) {
        const double z0 = height * j / stacks, z1 = height * (j + 1) / stacks;
        const double r0 = base + (top - base) * j / stacks;
        const double r1 = base + (top - base) * (j + 1) / stacks;
        glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; i++) {
            if (normals)
                glNormal3f(sines[i] * across, cosines[i] * across, along);
            glVertex3f(static_cast<float>(sines[i] * r0), static_cast<float>(cosines[i] * r0),
                       static_cast<float>(z0));
            glVertex3f(static_cast<float>(sines[i] * r1), static_cast<float>(cosines[i] * r1),
                       static_cast<float>(z1));
        }
        glEnd();
    }
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    float forward[3] = {static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                        static_cast<float>(centreZ - eyeZ)};
    const float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    auto normalise = [](float v[3]) {
        const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length != 0.0f)
            for (int i = 0; i < 3; i++)
                v[i] /= length;
    };
    auto cross = [](const float a[3], const float b[3], float out[3]) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    normalise(forward);
    float side[3], top[3];
    cross(forward, up, side);
    normalise(side);
    cross(side, forward, top);
    const GLdouble m[16] = {side[0], top[0], -forward[0], 0,
                            side[1], top[1], -forward[1], 0,
                            side[2], top[2], -forward[2], 0,
                            0,       0,      0,           1};
    glMultMatrixd(m);
    glTranslated(-eyeX, -eyeY, -eyeZ);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double half = fovy / 2 * M_PI / 180;
    const double depth = zFar - zNear;
    const double sine = std::sin(half);
    if (depth == 0 || sine == 0 || aspect == 0)
        return;
    const double cotangent = std::cos(half) / sine;
    const GLdouble m[16] = {cotangent / aspect, 0, 0, 0,
                            0, cotangent, 0, 0,
                            0, 0, -(zFar + zNear) / depth, -1,
                            0, 0, -2 * zNear * zFar / depth, 0};
    glMultMatrixd(m);
}

}  // extern "C"
