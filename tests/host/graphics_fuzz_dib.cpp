// Fuzz target: a picture header with colour table and pixels of any bytes.
// What ReadDibHeader accepts is then used as the renderer uses it: every
// pixel counted for a popularity palette, scaled, and dithered row by row.
#include <stdint.h>
#include <stdlib.h>

#include <vector>

#include "setup/graphics/color_map.h"
#include "setup/graphics/dib.h"
#include "setup/graphics/dither.h"
#include "setup/graphics/popularity_palette.h"
#include "setup/graphics/scale.h"

namespace {

const DibColor kDevice[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};

// The display's inverse colour map does not depend on the input: built once.
const std::vector<uint8_t>& DeviceMap()
{
    static const std::vector<uint8_t> map = [] {
        std::vector<uint8_t> m(kInverseColorMapSize);
        BuildHsvInverseMap(2, kDevice, 5, m.data());
        return m;
    }();
    return map;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The header in a block of exactly its size, so any read past it is caught.
    uint8_t* header = static_cast<uint8_t*>(malloc(size ? size : 1));
    for (size_t i = 0; i < size; ++i) header[i] = data[i];
    NormalizedDib dib;
    const uint8_t* pixels = nullptr;
    if (ReadDibHeader(header, size, &dib, &pixels)) {
        unsigned bits = DibBits(dib.header);
        uint32_t width = uint32_t(dib.header.width), height = uint32_t(dib.header.height);
        if (dib.header.clrUsed > 256) abort();
        if (bits == 24) {
            DibColor table[256];
            uint32_t count = 0;
            // Three bits per axis: the same reading of every pixel as the menu's
            // five, with a histogram small enough to clear for every input.
            BuildPopularityPalette(3, width, height, pixels, 256, &count, table);
        }
        // Scale onto a small working picture and dither it for a 1-bit display.
        const uint32_t w = 23, h = 11;
        std::vector<uint8_t> working(size_t(DibStride(bits, w)) * h);
        ScalePicture(1, 2, int(w) - 2, int(h) - 1, w, h, bits, working.data(), 0, 0, int(width) - 1, int(height) - 1,
                     width, height, bits, pixels, dib.colors);
        std::vector<ErrorEntry> errors(3 * w);
        ErrorRows rows;
        InitErrorRows(&rows, errors.data(), w);
        std::vector<uint8_t> out(DibStride(1, w));
        for (uint32_t y = 0; y < h; ++y)
            DitherRow(out.data(), working.data() + size_t(y) * DibStride(bits, w), &rows, 1, bits, w, kDevice,
                      dib.colors, DeviceMap().data(), 5);
    }
    free(header);
    return 0;
}
