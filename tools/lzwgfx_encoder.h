// The LZWGFX encoder: the LZSS stream that the menu's decoder reads, with the
// 8-byte container header in front.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

enum class ParseMode {
    kOptimal,   // the shortest stream this format allows
    kGreedy,    // always the longest match (for comparison)
};

// The whole container (header and stream) for `size` bytes of `data`.
std::vector<uint8_t> EncodeLzwgfx(const uint8_t* data, size_t size, ParseMode mode);
