// Popularity palette: a histogram of 15-bit cells, the most frequent cells,
// and the average colour of the pixels in each chosen cell.
#include "setup/graphics/popularity_palette.h"

#include <stdlib.h>

#include "setup/graphics/blocks.h"

namespace {

struct Cell {
    uint16_t number;
    uint16_t count;   // saturates at 65535; later the cell's palette index or 0xFFFF
};

struct Accumulator {
    uint32_t pixels, blue, green, red;
};

int ByCountDescending(const void* a, const void* b)
{
    return int(static_cast<const Cell*>(b)->count) - int(static_cast<const Cell*>(a)->count);
}

uint8_t RoundedAverage(uint32_t sum, uint32_t number)
{
    return uint8_t(double(sum) / double(number) + 0.5);
}

}  // namespace

bool BuildPopularityPalette(unsigned bits, uint32_t width, uint32_t height, const uint8_t* pixels,
                            uint32_t maxColors, uint32_t* count, DibColor* table)
{
    if (bits < 3 || bits > 5 || maxColors > 256 || !table || !count) return false;
    uint32_t cells = 1u << (3 * bits);
    ScopedBlock histogramBlock(cells * sizeof(Cell));
    ScopedBlock accumulatorBlock(256 * sizeof(Accumulator));
    Cell* histogram = histogramBlock.As<Cell>();
    Accumulator* sums = accumulatorBlock.As<Accumulator>();
    if (!histogram || !sums) return false;

    uint16_t w = uint16_t(width), h = uint16_t(height);
    uint32_t stride = DibStride(24, w);
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* p = pixels + size_t(y) * stride;
        for (uint32_t x = 0; x < w; ++x, p += 3) {
            Cell& c = histogram[PopularityCell(bits, p[2], p[1], p[0])];
            if (c.count != 0xFFFF) ++c.count;
        }
    }

    // Number every cell, then move the occupied ones to the front in order.
    uint32_t occupied = 0;
    for (uint32_t i = 0; i < cells; ++i) {
        uint16_t n = histogram[i].count;
        if (n != 0) {
            histogram[occupied].number = uint16_t(i);
            histogram[occupied].count = n;
            ++occupied;
        }
    }
    qsort(histogram, occupied, sizeof(Cell), ByCountDescending);
    uint32_t colors = occupied < maxColors ? occupied : maxColors;

    // The count fields become the map from cell number to palette index.
    uint16_t chosen[256];
    for (uint32_t l = 0; l < colors; ++l) chosen[l] = histogram[l].number;
    for (uint32_t i = 0; i < cells; ++i) histogram[i].count = 0xFFFF;
    for (uint32_t l = 0; l < colors; ++l) histogram[chosen[l]].count = uint16_t(l);

    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* p = pixels + size_t(y) * stride;
        for (uint32_t x = 0; x < w; ++x, p += 3) {
            uint16_t index = histogram[PopularityCell(bits, p[2], p[1], p[0])].count;
            if (index == 0xFFFF) continue;
            Accumulator& a = sums[index];
            ++a.pixels;
            a.blue += p[0];
            a.green += p[1];
            a.red += p[2];
        }
    }
    for (uint32_t l = 0; l < colors; ++l) {
        const Accumulator& a = sums[l];
        uint32_t n = a.pixels ? a.pixels : 1;
        table[l].blue = RoundedAverage(a.blue, n);
        table[l].green = RoundedAverage(a.green, n);
        table[l].red = RoundedAverage(a.red, n);
        table[l].reserved = 0;
    }
    *count = colors;
    return true;
}
