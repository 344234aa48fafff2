// Error-diffused conversion of one working row to the display's format.
#include "setup/graphics/dither.h"

#include <string.h>

#include "setup/graphics/color_map.h"

namespace {

// The direction of the next row is the opposite of this one; the first row
// ever converted goes left to right.
int scanDirection = -1;

struct Tap {
    int row;      // 0 = e0, 1 = e1, 2 = e2
    int offset;   // in scan order: negative behind, positive ahead
    int weight;   // in 48ths
};

const Tap kTaps[] = {
    {0, 1, 7}, {0, 2, 5},
    {1, -2, 3}, {1, -1, 5}, {1, 0, 7}, {1, 1, 5}, {1, 2, 3},
    {2, -2, 1}, {2, -1, 3}, {2, 0, 5}, {2, 1, 3}, {2, 2, 1},
};

uint8_t Clamp(int v)
{
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

uint8_t SourceIndex(const uint8_t* row, unsigned bits, uint32_t x)
{
    switch (bits) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
    default: return row[x];
    }
}

void AddError(ErrorEntry* e, int blue, int green, int red, int weight)
{
    e->blue = int16_t(e->blue + blue * weight);
    e->green = int16_t(e->green + green * weight);
    e->red = int16_t(e->red + red * weight);
}

}  // namespace

void ErrorWeights(uint32_t p, uint32_t width, int weights[3][5])
{
    for (int row = 0; row < 3; ++row)
        for (int k = 0; k < 5; ++k) weights[row][k] = 0;
    int last = int(width) - 1;
    for (const Tap& tap : kTaps) {
        int q = int(p) + tap.offset;
        if (q > last) q = last;
        if (q < 0) q = 0;
        if (tap.row == 0 && q == int(p)) continue;   // no column left ahead in this row
        weights[tap.row][q - int(p) + 2] += tap.weight;
    }
}

void InitErrorRows(ErrorRows* rows, ErrorEntry* block, uint32_t width)
{
    rows->e0 = block;
    rows->e1 = block + width;
    rows->e2 = block + 2 * size_t(width);
}

int NextDitherScanDirection()
{
    return -scanDirection;
}

void DitherRow(uint8_t* output, const uint8_t* source, ErrorRows* errors, unsigned displayBits,
               unsigned sourceBits, uint32_t width, const DibColor* devicePalette, const DibColor* sourceColors,
               const uint8_t* inverseMap, unsigned bitsPerAxis)
{
    (void)bitsPerAxis;   // the map always has 5 bits per axis
    scanDirection = -scanDirection;
    if (displayBits < 8) memset(output, 0, DibStride(displayBits, width));
    ErrorEntry* rows[3] = { errors->e0, errors->e1, errors->e2 };
    int w = int(width);

    for (int p = 0; p < w; ++p) {
        int x = scanDirection > 0 ? p : w - 1 - p;
        int r, g, b;
        if (sourceBits == 24) {
            b = source[3 * x];
            g = source[3 * x + 1];
            r = source[3 * x + 2];
        } else {
            const DibColor& c = sourceColors[SourceIndex(source, sourceBits, uint32_t(x))];
            b = c.blue;
            g = c.green;
            r = c.red;
        }
        const ErrorEntry& carried = errors->e0[x];
        r = Clamp(r + carried.red / 48);
        g = Clamp(g + carried.green / 48);
        b = Clamp(b + carried.blue / 48);

        if (displayBits == 1) {
            r = g = b = (r + g + b) / 3;
        } else if (displayBits == 4) {
            int hi = r > g ? (r > b ? r : b) : (g > b ? g : b);
            int lo = r < g ? (r < b ? r : b) : (g < b ? g : b);
            if (hi - lo < 32) r = g = b = (r + g + b) / 3;
        }

        int cr = r, cg = g, cb = b;
        if (displayBits <= 4) {
            uint8_t index = inverseMap[InverseMapCell(ColorToHsv(uint8_t(r), uint8_t(g), uint8_t(b)))];
            const DibColor& chosen = devicePalette[index];
            cr = chosen.red;
            cg = chosen.green;
            cb = chosen.blue;
            if (displayBits == 1)
                output[x / 8] |= uint8_t((index & 1) << (7 - x % 8));
            else
                output[x / 2] |= uint8_t(x % 2 ? index & 0x0F : (index & 0x0F) << 4);
        } else if (displayBits > 8) {
            output[3 * x] = uint8_t(b);
            output[3 * x + 1] = uint8_t(g);
            output[3 * x + 2] = uint8_t(r);
        }

        if (w <= 5 || displayBits > 8) continue;
        int er = r - cr, eg = g - cg, eb = b - cb;
        if (er == 0 && eg == 0 && eb == 0) continue;
        if (displayBits == 1) er = eg = eb = (er + eg + eb) / 3;
        int weights[3][5];
        ErrorWeights(uint32_t(p), width, weights);
        for (int row = 0; row < 3; ++row)
            for (int offset = -2; offset <= 2; ++offset) {
                int weight = weights[row][offset + 2];
                if (weight == 0) continue;
                int q = p + offset;
                int column = scanDirection > 0 ? q : w - 1 - q;
                AddError(&rows[row][column], eb, eg, er, weight);
            }
    }

    if (displayBits < 8) {
        // e0 takes e1, e1 takes e2, and e2 starts cleared.
        ErrorEntry* done = errors->e0;
        errors->e0 = errors->e1;
        errors->e1 = errors->e2;
        errors->e2 = done;
        memset(done, 0, sizeof(ErrorEntry) * width);
    }
}
