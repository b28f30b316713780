// Writes the application icon as a PNG (the installed resources/icons file is
// made with this): make_icon_png OUT.png [SIZE]
#include <stb_image_write.h>

#include <cstdio>
#include <cstdlib>

#include "app/icon.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_icon_png OUT.png [SIZE]\n");
        return 2;
    }
    int size = argc > 2 ? std::atoi(argv[2]) : 256;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "size must be 16 to 1024\n");
        return 2;
    }
    std::vector<unsigned char> px = icon_pixels(size);
    if (!stbi_write_png(argv[1], size, size, 4, px.data(), size * 4)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
