// lzwgfx_artwork OUT.bmp: writes the menu's default artwork.
#include <stdio.h>

#include <string>

#include "tools/bmp_file.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fputs("Usage: lzwgfx_artwork OUT.bmp\nWrites the disc menu's default background picture.\n", stderr);
        return 2;
    }
    std::string error;
    if (!WriteWholeFile(argv[1], DrawDefaultArtwork(), &error)) {
        fprintf(stderr, "lzwgfx_artwork: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
