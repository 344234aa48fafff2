// Reading a picture's header into the normalised form, with every size checked
// against the data it came from.
#include "setup/graphics/dib.h"

#include <string.h>

namespace {

uint32_t Read32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Read16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

}  // namespace

const char* DibStatusText(DibStatus status)
{
    switch (status) {
    case kDibOk: return "a picture that can be shown";
    case kDibTruncatedHeader: return "the bitmap header is cut short";
    case kDibBadHeaderSize: return "the bitmap header has an unknown size";
    case kDibUnsupportedBits: return "only 1, 4, 8 or 24 bits per pixel are supported";
    case kDibCompressed: return "compressed pictures are not supported";
    case kDibTopDown: return "top-down pictures (negative height) are not supported";
    case kDibEmpty: return "the picture has no pixels";
    case kDibTooManyColors: return "the colour table has more than 256 entries";
    case kDibColorTableForTrueColor: return "a 24-bit picture with a colour table is not supported";
    case kDibTruncatedColorTable: return "the colour table is cut short";
    case kDibTruncatedPixels: return "the pixel rows are cut short";
    }
    return "unknown";
}

DibStatus ReadDibHeaderStatus(const uint8_t* header, size_t available, NormalizedDib* dib,
                              const uint8_t** pixels)
{
    if (available < 4) return kDibTruncatedHeader;
    uint32_t n = Read32(header);
    if (n < 12 || (n > 12 && n < 16)) return kDibBadHeaderSize;
    if (n > available) return kDibTruncatedHeader;

    memset(dib, 0, sizeof *dib);
    dib->header.size = 40;
    bool core = n == 12;
    if (core) {
        dib->header.width = Read16(header + 4);
        dib->header.height = Read16(header + 6);
        dib->header.planes = Read16(header + 8);
        dib->header.bitCount = Read16(header + 10);
    } else {
        uint32_t copied = (n < 40 ? n : 40) - 4;
        memcpy(reinterpret_cast<uint8_t*>(&dib->header) + 4, header + 4, copied);
    }

    const DibInfoHeader& h = dib->header;
    uint32_t bits = DibBits(h);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return kDibUnsupportedBits;
    if (h.compression != 0) return kDibCompressed;
    if (h.height < 0) return kDibTopDown;
    if (h.width <= 0 || h.height == 0) return kDibEmpty;

    uint64_t offset = n;
    if (bits == 24) {
        if (h.clrUsed != 0) return kDibColorTableForTrueColor;
    } else {
        uint32_t count = 1u << bits;
        if (!core && n >= 36 && h.clrUsed != 0) count = h.clrUsed;
        if (count > 256) return kDibTooManyColors;
        uint32_t entrySize = core ? 3 : 4;
        if (offset + uint64_t(entrySize) * count > available) return kDibTruncatedColorTable;
        dib->header.clrUsed = count;
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* entry = header + offset + i * entrySize;
            dib->colors[i].blue = entry[0];
            dib->colors[i].green = entry[1];
            dib->colors[i].red = entry[2];
            dib->colors[i].reserved = 0;
        }
        offset += uint64_t(entrySize) * count;
    }

    // Rows and their total counted without wrapping: a width near 2^31 asks for
    // rows of gigabytes, which the data must really hold.
    uint64_t rowBytes = DibRowBytes(bits, uint32_t(h.width));
    if (offset > available || uint32_t(h.height) > (available - offset) / rowBytes) return kDibTruncatedPixels;
    *pixels = header + offset;
    return kDibOk;
}
