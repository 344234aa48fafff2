// Hue-saturation-value conversion and the inverse colour map.
#include "setup/graphics/color_map.h"

#include "setup/graphics/blocks.h"

HsvColor ColorToHsv(uint8_t red, uint8_t green, uint8_t blue)
{
    int r = red, g = green, b = blue;
    int v = r > g ? (r > b ? r : b) : (g > b ? g : b);
    int m = r < g ? (r < b ? r : b) : (g < b ? g : b);
    int s = v == 0 ? 0 : (v - m) * 255 / v;
    int hue = 0;
    if (s != 0) {
        int h;
        if (v == r)
            h = 40 * (g - b) / (v - m);
        else if (v == g)
            h = 40 * (b - r) / (v - m) + 80;
        else
            h = 40 * (r - g) / (v - m) + 160;
        if (h < 0) h += 240;
        hue = h * 256 / 240;
    }
    HsvColor c = { uint8_t(hue), uint8_t(s), uint8_t(v) };
    return c;
}

namespace {

// Scores of one axis for every cell k: (c - size·k - size/2)² + 2c - 7, made
// with additions from the first value and a step that grows by 2·size².
void AxisScores(int c, unsigned bits, uint32_t* scores)
{
    int cells = 1 << bits;
    int size = 256 >> bits;
    int64_t score = int64_t(c - size / 2) * (c - size / 2) + 2 * c - 7;
    int64_t step = 2 * int64_t(size) * size - 2 * int64_t(size) * c;
    for (int k = 0; k < cells; ++k) {
        scores[k] = uint32_t(score);
        score += step;
        step += 2 * int64_t(size) * size;
    }
}

}  // namespace

bool BuildHsvInverseMap(uint32_t colorCount, const DibColor* palette, unsigned bitsPerAxis, uint8_t* map)
{
    if (bitsPerAxis < 3 || bitsPerAxis > 5 || !palette || !map) return false;
    uint32_t cells = 1u << bitsPerAxis;
    ScopedBlock distanceBlock(sizeof(uint32_t) << (3 * bitsPerAxis));
    uint32_t* distance = distanceBlock.As<uint32_t>();
    if (!distance) return false;

    for (uint32_t i = 0; i < colorCount && i < 256; ++i) {
        HsvColor c = ColorToHsv(palette[i].red, palette[i].green, palette[i].blue);
        uint32_t hue[32], saturation[32], value[32];
        AxisScores(c.hue, bitsPerAxis, hue);
        AxisScores(c.saturation, bitsPerAxis, saturation);
        AxisScores(c.value, bitsPerAxis, value);
        uint32_t cell = 0;
        for (uint32_t kh = 0; kh < cells; ++kh)
            for (uint32_t ks = 0; ks < cells; ++ks)
                for (uint32_t kv = 0; kv < cells; ++kv, ++cell) {
                    uint32_t score = hue[kh] + saturation[ks] + value[kv];
                    if (i == 0 || score < distance[cell]) {
                        distance[cell] = score;
                        map[cell] = uint8_t(i);
                    }
                }
    }
    return true;
}
