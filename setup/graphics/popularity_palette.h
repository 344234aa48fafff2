// The popularity palette: the most frequent colours of a true-colour picture,
// counted in cells of `bits` bits per channel, each the average of its pixels.
#pragma once

#include <stdint.h>

#include "setup/graphics/dib.h"

// The histogram cell of a colour: red, green and blue reduced to `bits` bits.
inline uint32_t PopularityCell(unsigned bits, uint8_t red, uint8_t green, uint8_t blue)
{
    return uint32_t(red >> (8 - bits)) << (2 * bits) | uint32_t(green >> (8 - bits)) << bits |
           uint32_t(blue >> (8 - bits));
}

// Counts the pixels of a bottom-up 24-bit picture (width and height taken as
// 16-bit counts) and writes at most `maxColors` colours, most frequent cell
// first, to `table`, their number to `count`. Fails for bits outside 3 to 5,
// more than 256 colours, no table, or no memory.
bool BuildPopularityPalette(unsigned bits, uint32_t width, uint32_t height, const uint8_t* pixels,
                            uint32_t maxColors, uint32_t* count, DibColor* table);
