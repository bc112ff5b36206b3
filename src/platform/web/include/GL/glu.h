// The GLU calls the game makes, as the browser build offers them (platform/web/gl/glu.cpp).
#pragma once

#include <GL/gl.h>

#define GLU_SMOOTH 100000
#define GLU_FLAT 100001
#define GLU_NONE 100002
#define GLU_POINT 100010
#define GLU_LINE 100011
#define GLU_FILL 100012
#define GLU_SILHOUETTE 100013

#ifdef __cplusplus
extern "C" {
#endif

typedef struct GLUquadric GLUquadric;
typedef GLUquadric GLUquadricObj;

GLUquadric* gluNewQuadric(void);
void gluDeleteQuadric(GLUquadric* quadric);
void gluQuadricDrawStyle(GLUquadric* quadric, GLenum style);
void gluQuadricNormals(GLUquadric* quadric, GLenum normals);
void gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks);
void gluCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                 GLint stacks);
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ);
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);

#ifdef __cplusplus
}
#endif
