/* The stroke font's types as freeglut's font source expects them, and nothing else of
   freeglut's internals: the browser build compiles that source (its font table) alone. */
#ifndef VOLKRIN_FG_INTERNAL_H
#define VOLKRIN_FG_INTERNAL_H

#include <GL/gl.h>
#include <stddef.h>

typedef struct tagSFG_StrokeVertex {
    GLfloat X, Y;
} SFG_StrokeVertex;

typedef struct tagSFG_StrokeStrip {
    int Number;
    const SFG_StrokeVertex* Vertices;
} SFG_StrokeStrip;

typedef struct tagSFG_StrokeChar {
    GLfloat Right;
    int Number;
    const SFG_StrokeStrip* Strips;
} SFG_StrokeChar;

typedef struct tagSFG_StrokeFont {
    char* Name;
    int Quantity;
    GLfloat Height;
    const SFG_StrokeChar** Characters;
} SFG_StrokeFont;

#endif
