// Build step: turns the PNG renderings of the installed icon into the window's icon data, a
// C++ table in the layout of the _NET_WM_ICON property: make_window_icon out.cpp in.png...
#include <png.h>

#include <cstdio>
#include <vector>

// Reads one PNG as 8-bit ARGB, not premultiplied, as the property wants it.
static bool readArgb(const char* path, png_uint_32* width, png_uint_32* height,
                     std::vector<png_byte>* pixels)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) {
        fprintf(stderr, "make_window_icon: %s: %s\n", path, image.message);
        return false;
    }
    image.format = PNG_FORMAT_ARGB;
    pixels->resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels->data(), 0, nullptr)) {
        fprintf(stderr, "make_window_icon: %s: %s\n", path, image.message);
        png_image_free(&image);
        return false;
    }
    *width = image.width;
    *height = image.height;
    return true;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: make_window_icon out.cpp in.png...\n");
        return 2;
    }
    FILE* out = fopen(argv[1], "w");
    if (!out) {
        perror(argv[1]);
        return 1;
    }
    fprintf(out, "// Made by make_window_icon from renderings of packaging/volkrin.svg: "
                 "do not edit.\n"
                 "// Each size is its width and height, then its pixels as 0xAARRGGBB, "
                 "row by row from the top.\n"
                 "#include \"render/render.h\"\n\n"
                 "const unsigned int windowIcon[] = {\n");
    int values = 0;
    for (int i = 2; i < argc; ++i) {
        png_uint_32 width = 0, height = 0;
        std::vector<png_byte> argb;
        if (!readArgb(argv[i], &width, &height, &argb)) {
            fclose(out);
            remove(argv[1]);
            return 1;
        }
        fprintf(out, "    %uu, %uu,\n", width, height);
        for (size_t p = 0; p + 3 < argb.size(); p += 4) {
            const unsigned long pixel = static_cast<unsigned long>(argb[p]) << 24 |
                                        static_cast<unsigned long>(argb[p + 1]) << 16 |
                                        static_cast<unsigned long>(argb[p + 2]) << 8 | argb[p + 3];
            fprintf(out, "%s0x%08lxu,%s", p % 32 == 0 ? "    " : " ", pixel,
                    p % 32 == 28 ? "\n" : "");
        }
        if (argb.size() % 32 != 0)
            fprintf(out, "\n");
        values += 2 + static_cast<int>(argb.size() / 4);
    }
    fprintf(out, "};\nconst int windowIconLength = %d;\n", values);
    if (fclose(out) != 0) {
        perror(argv[1]);
        remove(argv[1]);
        return 1;
    }
    return 0;
}
