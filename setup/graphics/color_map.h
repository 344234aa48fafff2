// Hue, saturation and value as bytes, and the table that maps a colour's
// hue-saturation-value cell to the nearest colour of a small device palette.
#pragma once

#include <stdint.h>

#include "setup/graphics/dib.h"

struct HsvColor {
    uint8_t hue;         // 0 to 254
    uint8_t saturation;  // 0 to 255
    uint8_t value;       // 0 to 255
};

HsvColor ColorToHsv(uint8_t red, uint8_t green, uint8_t blue);

const uint32_t kInverseColorMapSize = 32768;

// The InverseColorMap cell of a colour (5 bits per axis).
inline uint32_t InverseMapCell(const HsvColor& c)
{
    return uint32_t(c.hue >> 3) << 10 | uint32_t(c.saturation >> 3) << 5 | uint32_t(c.value >> 3);
}

// Fills `map` (2^(3 × bitsPerAxis) entries) with, for each cell, the index of
// the palette colour of lowest score; ties keep the lower index. Fails for
// bits outside 3 to 5, a missing table or no memory.
bool BuildHsvInverseMap(uint32_t colorCount, const DibColor* palette, unsigned bitsPerAxis, uint8_t* map);
