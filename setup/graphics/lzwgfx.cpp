// The LZSS decoder of the LZWGFX container.
#include "setup/graphics/lzwgfx.h"

uint32_t ReadLittleEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool LzwgfxStreamLength(const uint8_t* resource, size_t resourceSize, size_t* streamLength)
{
    if (resourceSize < kLzwgfxHeaderSize) return false;
    // The size field is not trusted beyond the resource's real end.
    uint32_t total = ReadLittleEndian32(resource);
    size_t claimed = total < kLzwgfxHeaderSize ? 0 : total - kLzwgfxHeaderSize;
    size_t present = resourceSize - kLzwgfxHeaderSize;
    *streamLength = claimed < present ? claimed : present;
    return true;
}

size_t DecodeLzwgfxStream(const uint8_t* stream, size_t streamLength, uint8_t* output, size_t outputSize,
                          size_t* consumed)
{
    uint8_t window[kLzwgfxWindowSize];
    for (unsigned i = 0; i < kLzwgfxWindowSize; ++i) window[i] = i < kLzwgfxFirstWrite ? 0x20 : 0;
    unsigned write = kLzwgfxFirstWrite;
    size_t in = 0;
    size_t out = 0;
    unsigned flags = 0;

    while (out < outputSize) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            if (in == streamLength) break;
            flags = stream[in++] | 0xFF00;
        }
        if (flags & 1) {
            if (in == streamLength) break;
            uint8_t c = stream[in++];
            output[out++] = c;
            window[write] = c;
            write = (write + 1) & (kLzwgfxWindowSize - 1);
        } else {
            if (in == streamLength) break;
            unsigned b0 = stream[in++];
            if (in == streamLength) break;   // a reference without its second byte yields nothing
            unsigned b1 = stream[in++];
            unsigned position = b0 | (b1 & 0xF0) << 4;
            unsigned length = (b1 & 0x0F) + kLzwgfxMinMatch;
            for (unsigned k = 0; k < length && out < outputSize; ++k) {
                uint8_t c = window[(position + k) & (kLzwgfxWindowSize - 1)];
                output[out++] = c;
                window[write] = c;
                write = (write + 1) & (kLzwgfxWindowSize - 1);
            }
        }
    }
    if (consumed) *consumed = in;
    return out;
}
