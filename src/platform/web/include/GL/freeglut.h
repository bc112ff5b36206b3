// The window toolkit's calls that the game makes, as the browser build offers them: the
// canvas as the window, the page's events as the callbacks (platform/web/glut.cpp).
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#define GLUT_RGB 0
#define GLUT_DOUBLE 2
#define GLUT_DEPTH 16

#define GLUT_LEFT_BUTTON 0
#define GLUT_MIDDLE_BUTTON 1
#define GLUT_RIGHT_BUTTON 2
#define GLUT_DOWN 0
#define GLUT_UP 1

#define GLUT_KEY_F1 1
#define GLUT_KEY_F2 2
#define GLUT_KEY_F3 3
#define GLUT_KEY_F4 4
#define GLUT_KEY_F5 5
#define GLUT_KEY_F6 6
#define GLUT_KEY_F7 7
#define GLUT_KEY_F8 8
#define GLUT_KEY_F9 9
#define GLUT_KEY_F10 10
#define GLUT_KEY_F11 11
#define GLUT_KEY_F12 12
#define GLUT_KEY_LEFT 100
#define GLUT_KEY_UP 101
#define GLUT_KEY_RIGHT 102
#define GLUT_KEY_DOWN 103
#define GLUT_KEY_PAGE_UP 104
#define GLUT_KEY_PAGE_DOWN 105
#define GLUT_KEY_HOME 106
#define GLUT_KEY_END 107
#define GLUT_KEY_INSERT 108

#define GLUT_HIDDEN 0
#define GLUT_FULLY_RETAINED 1

#define GLUT_CURSOR_INHERIT 100
#define GLUT_CURSOR_NONE 101

#define GLUT_WINDOW_X 0x0064
#define GLUT_WINDOW_Y 0x0065
#define GLUT_WINDOW_WIDTH 0x0066
#define GLUT_WINDOW_HEIGHT 0x0067
#define GLUT_FULL_SCREEN 0x01FF

#define GLUT_STROKE_MONO_ROMAN ((void*)0x0001)

#ifdef __cplusplus
extern "C" {
#endif

void glutInit(int* argc, char** argv);
void glutInitDisplayMode(unsigned int mode);
void glutInitWindowSize(int width, int height);
void glutInitWindowPosition(int x, int y);
int glutCreateWindow(const char* title);

void glutDisplayFunc(void (*callback)(void));
void glutReshapeFunc(void (*callback)(int width, int height));
void glutKeyboardFunc(void (*callback)(unsigned char key, int x, int y));
void glutSpecialFunc(void (*callback)(int key, int x, int y));
void glutMouseFunc(void (*callback)(int button, int state, int x, int y));
void glutMotionFunc(void (*callback)(int x, int y));
void glutPassiveMotionFunc(void (*callback)(int x, int y));
void glutWindowStatusFunc(void (*callback)(int state));
void glutTimerFunc(unsigned int ms, void (*callback)(int value), int value);

void glutMainLoop(void);
void glutPostRedisplay(void);
void glutSwapBuffers(void);
void glutSetCursor(int cursor);
int glutGet(GLenum what);
void glutFullScreenToggle(void);
void glutPositionWindow(int x, int y);

void glutStrokeCharacter(void* font, int character);

#ifdef __cplusplus
}
#endif
