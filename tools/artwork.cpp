// The menu's default artwork, drawn with integer arithmetic only so that every
// build makes the same bytes: a plain green field and, in the upper left
// corner, a round badge (a dark gold rim around a gold disc with a pale centre),
// its edges smoothed by 4 × 4 sub-samples per pixel.
#include "tools/bmp_file.h"

namespace {

const uint32_t kField = 0x1E6E32;   // green
const int kCentre = 4 * 70 + 2;     // badge centre in sub-samples (pixel 70)

struct Ring {
    int radius;   // in sub-samples; the ring covers everything inside it
    uint32_t color;
};
const Ring kRings[] = {
    {4 * 56, 0x7A5A14},   // rim
    {4 * 49, 0xE8B830},   // disc
    {4 * 22, 0xFFF2C8},   // centre
};

uint32_t SubSample(int sx, int sy)
{
    int dx = sx - kCentre, dy = sy - kCentre;
    int d2 = dx * dx + dy * dy;
    uint32_t color = kField;
    for (const Ring& ring : kRings)
        if (d2 <= ring.radius * ring.radius) color = ring.color;
    return color;
}

uint32_t Pixel(uint32_t x, uint32_t y)
{
    uint32_t r = 0, g = 0, b = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            uint32_t c = SubSample(int(4 * x) + i, int(4 * y) + j);
            r += c >> 16;
            g += c >> 8 & 0xFF;
            b += c & 0xFF;
        }
    return (r + 8) / 16 << 16 | (g + 8) / 16 << 8 | (b + 8) / 16;
}

}  // namespace

std::vector<uint8_t> DrawDefaultArtwork()
{
    return BuildBmp(24, 488, 325, {}, Pixel);
}
