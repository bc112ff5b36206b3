// Upload of the level image into the texture that labels the level in the heads-up display.
// Runs once at start, after the window exists; any failure ends the process, status 1.
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <GL/gl.h>

#include "app/state.h"
#include "image/image.h"
#include "platform/platform.h"

void loadLevelTexture(const char* fileName, unsigned int textureName)
{
    // The record and its pixels stay for the life of the process; nothing frees them.
    levelImage = static_cast<Image*>(malloc(sizeof(Image)));
    if (levelImage == nullptr) {
        printf("Error allocating space for image");
        exit(1);
    }
    std::cout << "trying to load " << fileName << std::endl;
    if (!loadBmp(fileName, levelImage)) {
        // The reader has printed why; a player with no console is told in words, with the
        // folder where the game looked, as the file name is relative to it.
        tellFatalError(imageErrorForPlayer(fileName, workingFolder()).c_str());
        exit(1);
    }

    // The name is bound directly, not generated: binding it creates the texture object.
    glBindTexture(GL_TEXTURE_2D, textureName);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, static_cast<GLsizei>(levelImage->width),
                 static_cast<GLsizei>(levelImage->height), 0, GL_RGB, GL_UNSIGNED_BYTE,
                 levelImage->pixels);
    // No mipmaps: a minifying filter that does not use them makes the one level complete.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}
