// Converting one row of the working picture to the display's pixel format:
// serpentine Jarvis-Judice-Ninke error diffusion onto a 2- or 16-colour device
// palette, or plain 24-bit colour on deeper displays.
#pragma once

#include <stdint.h>

#include "setup/graphics/dib.h"

// Weighted errors of one pixel, in 48ths.
struct ErrorEntry {
    int16_t blue, green, red;
};

// The rows of errors: e0 for the row being converted, e1 and e2 for the next
// two. One zero-filled block of 3 × width entries, allocated per drawing.
struct ErrorRows {
    ErrorEntry* e0;
    ErrorEntry* e1;
    ErrorEntry* e2;
};

// Points the three rows into `block`, which holds 3 × width entries.
void InitErrorRows(ErrorRows* rows, ErrorEntry* block, uint32_t width);

// The direction (+1 left to right, -1 right to left) that the next row will
// be scanned in: +1 for the first row ever, then alternating row by row, also
// from one drawing to the next. One value for the whole process.
int NextDitherScanDirection();

// The weights (48ths) with which the error of the pixel at scan position p of
// a row of `width` pixels goes to rows e0, e1, e2, at scan offsets -2 to +2:
// taps beyond a row end are added to the nearest column toward the pixel, and
// taps of e0 with no column left ahead are dropped.
void ErrorWeights(uint32_t p, uint32_t width, int weights[3][5]);

// Converts `width` pixels of `source` (of `sourceBits` bits, colours from
// `sourceColors`) into `output` for a display of `displayBits` bits. For 1 and
// 4 bits the pixel is chosen through `inverseMap` from `devicePalette`.
void DitherRow(uint8_t* output, const uint8_t* source, ErrorRows* errors, unsigned displayBits,
               unsigned sourceBits, uint32_t width, const DibColor* devicePalette, const DibColor* sourceColors,
               const uint8_t* inverseMap, unsigned bitsPerAxis);
