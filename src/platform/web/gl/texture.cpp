// Textures under the names the game gives them (it binds name 1 without asking GL for one),
// each kept here with its pixels so that a lost context gets it back.
#include <map>
#include <vector>

#include "platform/web/gl/layer.h"

struct KeptTexture {
    GLuint card;  // WebGL's name, 0 until it has been made on the card
    GLsizei width, height;
    GLenum format;
    std::vector<unsigned char> pixels;
    GLint magFilter, minFilter;
};

static std::map<GLuint, KeptTexture> textures;

GLuint cardTexture(GLuint name)
{
    auto found = textures.find(name);
    return found == textures.end() ? 0 : found->second.card;
}

static int bytesPerPixel(GLenum format) { return format == GL_RGBA ? 4 : 3; }

static void make(KeptTexture& t)
{
    glGenTextures(1, &t.card);
    emscripten_glBindTexture(GL_TEXTURE_2D, t.card);
    // Rows of the game's textures are packed to four bytes, GL's default alignment.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (!t.pixels.empty())
        emscripten_glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(t.format), t.width, t.height,
                                0, t.format, GL_UNSIGNED_BYTE, t.pixels.data());
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, t.magFilter);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, t.minFilter);
    // A size that is not a power of two may not repeat in WebGL 1.
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void restoreTextures()
{
    for (auto& entry : textures) {
        entry.second.card = 0;  // gone with the lost context
        make(entry.second);
    }
}

static KeptTexture& bound()
{
    auto found = textures.find(layer.boundTexture);
    if (found == textures.end()) {
        // Binding an unused name makes a texture under it, as in GL; GL's default filters.
        KeptTexture t = {0, 0, 0, GL_RGB, {}, GL_LINEAR, GL_NEAREST_MIPMAP_LINEAR};
        found = textures.emplace(layer.boundTexture, t).first;
        make(found->second);
    }
    return found->second;
}

extern "C" {

void glBindTexture(GLenum target, GLuint texture)
{
    if (target != GL_TEXTURE_2D || texture == layer.boundTexture)
        return;
    flushImmediate();
    layer.boundTexture = texture;
    if (texture != 0)
        bound();
}

// Internal formats 3 and 4 are GL 1.0's names for RGB and RGBA.
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                  GLsizei height, GLint border, GLenum format, GLenum type, const void* pixels)
{
    if (target != GL_TEXTURE_2D || level != 0 || border != 0 || type != GL_UNSIGNED_BYTE ||
        layer.boundTexture == 0 || width < 0 || height < 0)
        return;
    if (format != GL_RGB && format != GL_RGBA)
        return;
    (void)internalFormat;  // WebGL 1 takes the format of the pixels given
    flushImmediate();
    KeptTexture& t = bound();
    t.width = width;
    t.height = height;
    t.format = format;
    const size_t rowBytes = (static_cast<size_t>(width) * bytesPerPixel(format) + 3) / 4 * 4;
    const unsigned char* bytes = static_cast<const unsigned char*>(pixels);
    if (bytes)
        t.pixels.assign(bytes, bytes + rowBytes * static_cast<size_t>(height));
    else
        t.pixels.assign(rowBytes * static_cast<size_t>(height), 0);
    emscripten_glBindTexture(GL_TEXTURE_2D, t.card);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0,
                            format, GL_UNSIGNED_BYTE, t.pixels.data());
}

void glTexParameteri(GLenum target, GLenum pname, GLint param)
{
    if (target != GL_TEXTURE_2D || layer.boundTexture == 0)
        return;
    flushImmediate();
    KeptTexture& t = bound();
    if (pname == GL_TEXTURE_MAG_FILTER)
        t.magFilter = param;
    else if (pname == GL_TEXTURE_MIN_FILTER)
        t.minFilter = param;
    else
        return;
    emscripten_glBindTexture(GL_TEXTURE_2D, t.card);
    emscripten_glTexParameteri(GL_TEXTURE_2D, pname, param);
}

}  // extern "C"
