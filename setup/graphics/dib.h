// Device-independent bitmap headers in the normalised form the renderer works
// on: a 40-byte info header followed by room for 256 colour-table entries. The
// layout is that of BITMAPINFOHEADER and RGBQUAD, so a NormalizedDib can be
// passed to StretchDIBits as it is. No Windows headers.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct DibInfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};

struct DibColor {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};

struct NormalizedDib {
    DibInfoHeader header;
    DibColor colors[256];
};

static_assert(sizeof(DibInfoHeader) == 40, "info header layout");
static_assert(sizeof(NormalizedDib) == 40 + 4 * 256, "normalised bitmap layout");

const size_t kBmpFileHeaderSize = 14;

// Bytes of one pixel row: rows are padded to a multiple of 4 bytes. In 64
// bits, since a header's width can ask for rows that 32 bits cannot count.
inline uint64_t DibRowBytes(uint32_t bitsPerPixel, uint32_t width)
{
    return (uint64_t(bitsPerPixel) * width + 31) / 32 * 4;
}

// The same for a picture whose rows are in memory (one that ReadDibHeader
// accepted, or a working picture), so that they fit 32 bits.
inline uint32_t DibStride(uint32_t bitsPerPixel, uint32_t width)
{
    return uint32_t(DibRowBytes(bitsPerPixel, width));
}

// planes × bits per pixel of a normalised header.
inline uint32_t DibBits(const DibInfoHeader& h)
{
    return uint32_t(h.planes) * h.bitCount;
}

// Why a header was refused; kDibOk when it was read.
enum DibStatus {
    kDibOk,
    kDibTruncatedHeader,       // the header does not fit into the data
    kDibBadHeaderSize,         // size below 12, or from 13 to 15
    kDibUnsupportedBits,       // not 1, 4, 8 or 24 bits per pixel
    kDibCompressed,
    kDibTopDown,               // negative height
    kDibEmpty,                 // no pixel (width or height 0, or negative width)
    kDibTooManyColors,         // more than 256 colour-table entries
    kDibColorTableForTrueColor,
    kDibTruncatedColorTable,   // the colour table lies beyond the data
    kDibTruncatedPixels,       // the pixel rows lie beyond the data
};

// A short English description of a status, for the tools.
const char* DibStatusText(DibStatus status);

// Reads the header at `header` (the data after the file header; `available`
// bytes from there to the end of the data) into `dib` and gives the address
// of the first pixel byte, which follows the header and colour table.
DibStatus ReadDibHeaderStatus(const uint8_t* header, size_t available, NormalizedDib* dib,
                              const uint8_t** pixels);

inline bool ReadDibHeader(const uint8_t* header, size_t available, NormalizedDib* dib, const uint8_t** pixels)
{
    return ReadDibHeaderStatus(header, available, dib, pixels) == kDibOk;
}
