// What the frame draws the same way every time, worked out once: display lists for the
// fixed meshes and the court, and the sines and cosines of the circle and shadow rims.
#include <cmath>

#include <GL/gl.h>

#include "app/numeric.h"
#include "render/render.h"

// A list belongs to the GL context that made it: a window made later (the drawing tests
// open one per process) finds no list under the old name and compiles a new one.
void callCompiled(unsigned& list, bool stale, void (*draw)())
{
    // Mesa's software driver crashes on the sphere's list in feedback mode, which tests
    // use to see the primitives: there, and in selection mode, the geometry goes straight
    // in. The list is dropped, since the caller now takes it as made for what it drew.
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    if (mode != GL_RENDER) {
        if (list != 0 && glIsList(list))
            glDeleteLists(list, 1);
        list = 0;
        draw();
        return;
    }
    if (list == 0 || !glIsList(list)) {
        list = glGenLists(1);
        stale = true;
    }
    if (list == 0) {  // no list name to be had: draw this frame without one
        draw();
        return;
    }
    if (stale) {
        glNewList(list, GL_COMPILE);
        draw();
        glEndList();
    }
    glCallList(list);
}

// The float angle runs from 0 in steps of pi/32 until it passes one step beyond the full
// turn: 66 angles. Their sines and cosines are taken as the drawing took them, from the
// same float angles, so every rim vertex comes out bit for bit the same.
static RimTable makeRim()
{
    RimTable t = {};
    const float step = static_cast<float>(M_PI / 32);
    const double limit = step + 2.0 * M_PI;
    for (float a = 0.0f; !(a > limit) && t.count < RimTable::capacity; a += step) {
        t.cosine[t.count] = cosF(a);
        t.sine[t.count] = sinF(a);
        t.count++;
    }
    return t;
}

const RimTable& rim()
{
    static const RimTable table = makeRim();
    return table;
}
