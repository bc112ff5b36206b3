// The layer's life with a WebGL context: made ready on a new one, and everything it held on
// the card (shaders, buffers, lists, textures, switches) made again when a lost one is back.
#include "platform/web/gl/layer.h"
#include "platform/web/web.h"

bool startGlLayer()
{
    resetLayerState();
    return startDrawing();
}

bool restoreGlLayer()
{
    if (!startDrawing())
        return false;
    restoreContextState();
    restoreTextures();
    restoreLists();
    return true;
}

void finishFrame() { flushImmediate(); }
