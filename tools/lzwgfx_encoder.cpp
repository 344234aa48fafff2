// LZSS encoding for the LZWGFX container.
//
// The decoder's window at output byte i holds, at ring position p, the byte
// that was last written there: an earlier output byte, or one of the 4078
// preset spaces. Seen as one sequence X (4078 spaces, then the data), the
// window offers every X[T - d] with 1 <= d <= min(4096, T), T = 4078 + i, and
// a reference copies X[T - d + k] for k < length, overlapping as it goes. So
// which references are possible at i does not depend on how the data before
// it was parsed, and the cost of every item is fixed: a literal is one byte,
// a reference two, and every eighth item starts a flag byte. A shortest path
// over (position, items in the current group) is therefore the exact optimum.
#include "tools/lzwgfx_encoder.h"

#include <limits>

#include "setup/graphics/lzwgfx.h"

namespace {

const int kPreset = int(kLzwgfxFirstWrite);

struct Match {
    uint8_t length;      // longest match, 0 when shorter than 3
    uint16_t distance;   // 1 to 4096
};

// The longest match at every data position, from hash chains over X.
std::vector<Match> FindMatches(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> x(data, data + size);
    x.insert(x.begin(), size_t(kPreset), uint8_t(0x20));
    const int total = int(x.size());
    const int hashBits = 16;
    std::vector<int> head(1 << hashBits, -1);
    std::vector<int> previous(x.size(), -1);
    auto hash = [&](int t) {
        uint32_t v = uint32_t(x[t]) << 16 | uint32_t(x[t + 1]) << 8 | x[t + 2];
        return int((v * 2654435761u) >> (32 - hashBits));
    };
    auto insert = [&](int t) {
        if (t + 2 >= total) return;
        int h = hash(t);
        previous[t] = head[h];
        head[h] = t;
    };
    for (int t = 0; t < kPreset; ++t) insert(t);

    std::vector<Match> matches(size);
    for (size_t i = 0; i < size; ++i) {
        int at = kPreset + int(i);
        int limit = int(std::min<size_t>(kLzwgfxMaxMatch, size - i));
        Match best = {0, 0};
        if (limit >= int(kLzwgfxMinMatch)) {
            for (int t = head[hash(at)]; t >= 0 && at - t <= int(kLzwgfxWindowSize); t = previous[t]) {
                int length = 0;
                while (length < limit && x[t + length] == x[at + length]) ++length;
                if (length > best.length) {
                    best.length = uint8_t(length);
                    best.distance = uint16_t(at - t);
                    if (length == limit) break;
                }
            }
        }
        if (best.length < kLzwgfxMinMatch) best = {0, 0};
        matches[i] = best;
        insert(at);
    }
    return matches;
}

struct Item {
    uint8_t length;   // 1: a literal; 3 to 18: a reference
};

std::vector<Item> OptimalParse(const std::vector<Match>& matches, size_t size)
{
    // cost[i * 8 + g]: fewest stream bytes for the first i data bytes with g
    // items already in the current group; choice: the item that got there.
    const uint32_t none = std::numeric_limits<uint32_t>::max();
    std::vector<uint32_t> cost((size + 1) * 8, none);
    std::vector<uint8_t> choice((size + 1) * 8, 0);
    cost[0] = 0;
    for (size_t i = 0; i < size; ++i) {
        for (int g = 0; g < 8; ++g) {
            uint32_t here = cost[i * 8 + g];
            if (here == none) continue;
            uint32_t flag = g == 0 ? 1 : 0;
            int next = (g + 1) % 8;
            auto relax = [&](size_t length, uint32_t bytes) {
                uint32_t c = here + flag + bytes;
                size_t k = (i + length) * 8 + next;
                if (c < cost[k]) {
                    cost[k] = c;
                    choice[k] = uint8_t(length);
                }
            };
            relax(1, 1);
            for (size_t length = kLzwgfxMinMatch; length <= matches[i].length; ++length) relax(length, 2);
        }
    }
    int g = 0;
    for (int k = 1; k < 8; ++k)
        if (cost[size * 8 + k] < cost[size * 8 + g]) g = k;
    std::vector<Item> items;
    for (size_t i = size; i > 0;) {
        uint8_t length = choice[i * 8 + g];
        items.push_back({length});
        i -= length;
        g = (g + 7) % 8;
    }
    return std::vector<Item>(items.rbegin(), items.rend());
}

std::vector<Item> GreedyParse(const std::vector<Match>& matches, size_t size)
{
    std::vector<Item> items;
    for (size_t i = 0; i < size;) {
        uint8_t length = matches[i].length ? matches[i].length : 1;
        items.push_back({length});
        i += length;
    }
    return items;
}

void PutLittleEndian32(uint8_t* p, uint32_t v)
{
    for (int k = 0; k < 4; ++k) p[k] = uint8_t(v >> (8 * k));
}

}  // namespace

std::vector<uint8_t> EncodeLzwgfx(const uint8_t* data, size_t size, ParseMode mode)
{
    std::vector<Match> matches = FindMatches(data, size);
    std::vector<Item> items = mode == ParseMode::kOptimal ? OptimalParse(matches, size) : GreedyParse(matches, size);

    std::vector<uint8_t> out(kLzwgfxHeaderSize, 0);
    size_t flagAt = 0;
    size_t i = 0;
    for (size_t n = 0; n < items.size(); ++n) {
        if (n % 8 == 0) {
            flagAt = out.size();
            out.push_back(0);
        }
        if (items[n].length == 1) {
            out[flagAt] |= uint8_t(1 << (n % 8));
            out.push_back(data[i]);
        } else {
            unsigned position = (kLzwgfxFirstWrite + i - matches[i].distance) & (kLzwgfxWindowSize - 1);
            out.push_back(uint8_t(position & 0xFF));
            out.push_back(uint8_t((position >> 4 & 0xF0) | (items[n].length - kLzwgfxMinMatch)));
        }
        i += items[n].length;
    }
    PutLittleEndian32(&out[0], uint32_t(out.size()));
    PutLittleEndian32(&out[4], uint32_t(size));
    return out;
}
