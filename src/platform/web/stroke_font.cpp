// The lettering in the browser: freeglut's monospaced stroke font, its table compiled from
// freeglut's own source, drawn here as freeglut draws it (a line strip per stroke, then the
// advance), so that captions and signs look as they do on the desktop.
#include <GL/freeglut.h>

#include "platform/web/freeglut/fg_internal.h"

extern "C" SFG_StrokeFont fgStrokeMonoRoman;

extern "C" void glutStrokeCharacter(void* font, int character)
{
    const SFG_StrokeFont& table = fgStrokeMonoRoman;
    if (font != GLUT_STROKE_MONO_ROMAN || character < 0 || character >= table.Quantity)
        return;
    const SFG_StrokeChar* glyph = table.Characters[character];
    if (!glyph)
        return;
    for (int i = 0; i < glyph->Number; i++) {
        const SFG_StrokeStrip& strip = glyph->Strips[i];
        glBegin(GL_LINE_STRIP);
        for (int j = 0; j < strip.Number; j++)
            glVertex2f(strip.Vertices[j].X, strip.Vertices[j].Y);
        glEnd();
    }
    glTranslatef(glyph->Right, 0.0f, 0.0f);
}
