// Bresenham nearest-neighbour scaling.
#include "setup/graphics/scale.h"

#include <string.h>

namespace {

int Sign(int v)
{
    return v > 0 ? 1 : -1;
}

int Abs(int v)
{
    return v < 0 ? -v : v;
}

void CopyPixel(uint8_t* destination, int dx, const uint8_t* source, int sx, unsigned bits)
{
    switch (bits) {
    case 1:
        destination[dx / 8] |= uint8_t(((source[sx / 8] >> (7 - sx % 8)) & 1) << (7 - dx % 8));
        break;
    case 4: {
        uint8_t v = sx % 2 ? source[sx / 2] & 0x0F : source[sx / 2] >> 4;
        destination[dx / 2] |= uint8_t(dx % 2 ? v : v << 4);
        break;
    }
    case 8:
        destination[dx] = source[sx];
        break;
    default:
        memcpy(destination + 3 * dx, source + 3 * sx, 3);
        break;
    }
}

}  // namespace

void ScalePictureRow(int dx0, int dx1, uint32_t destinationWidth, unsigned destinationBits, uint8_t* destination,
                     int sx0, int sx1, unsigned sourceBits, const uint8_t* source, const DibColor* sourceColors)
{
    (void)sourceColors;   // same format on both sides: indices are copied as they are
    if (destinationBits < sourceBits || dx0 < 0 || dx1 < 0 || sx0 < 0 || sx1 < 0) return;
    int d = Abs(dx1 - dx0), s = Abs(sx1 - sx0);
    int dStep = Sign(dx1 - dx0), sStep = Sign(sx1 - sx0);
    int e = 2 * s - d;
    int sx = sx0;
    for (int i = 0, dx = dx0; i <= d; ++i, dx += dStep) {
        if (dx >= 0 && uint32_t(dx) < destinationWidth) CopyPixel(destination, dx, source, sx, sourceBits);
        if (i == d) break;
        while (e >= 0) {
            if (sx != sx1) sx += sStep;
            e -= 2 * d;
        }
        e += 2 * s;
    }
}

void ScalePicture(int dx0, int dy0, int dx1, int dy1, uint32_t destinationWidth, uint32_t destinationHeight,
                  unsigned destinationBits, uint8_t* destination, int sx0, int sy0, int sx1, int sy1,
                  uint32_t sourceWidth, uint32_t sourceHeight, unsigned sourceBits, const uint8_t* source,
                  const DibColor* sourceColors)
{
    if (destinationBits < sourceBits) return;
    if (dx0 < 0 || dy0 < 0 || dx1 < 0 || dy1 < 0 || sx0 < 0 || sy0 < 0 || sx1 < 0 || sy1 < 0) return;
    if (uint32_t(sx0) >= sourceWidth || uint32_t(sx1) >= sourceWidth || uint32_t(sy0) >= sourceHeight ||
        uint32_t(sy1) >= sourceHeight)
        return;
    uint32_t dStride = DibStride(destinationBits, destinationWidth);
    uint32_t sStride = DibStride(sourceBits, sourceWidth);
    // Rows are stored bottom-up: row y from the top is memory row height - 1 - y.
    auto destinationRow = [&](int y) { return destination + size_t(destinationHeight - 1 - uint32_t(y)) * dStride; };
    auto sourceRow = [&](int y) { return source + size_t(sourceHeight - 1 - uint32_t(y)) * sStride; };

    int d = Abs(dy1 - dy0), s = Abs(sy1 - sy0);
    int dStep = Sign(dy1 - dy0), sStep = Sign(sy1 - sy0);
    int e = 2 * s - d;
    int sy = sy0;
    bool newRow = true;
    bool previousWritten = false;
    for (int i = 0, dy = dy0; i <= d; ++i, dy += dStep) {
        bool inside = uint32_t(dy) < destinationHeight;
        if (inside) {
            if (newRow || !previousWritten)
                ScalePictureRow(dx0, dx1, destinationWidth, destinationBits, destinationRow(dy), sx0, sx1,
                                sourceBits, sourceRow(sy), sourceColors);
            else
                memcpy(destinationRow(dy), destinationRow(dy - dStep), dStride);
        }
        previousWritten = inside;
        if (i == d) break;
        newRow = false;
        while (e >= 0) {
            if (sy != sy1) sy += sStep;
            newRow = true;
            e -= 2 * d;
        }
        e += 2 * s;
    }
}
