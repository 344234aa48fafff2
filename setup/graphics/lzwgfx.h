// The LZWGFX container: an 8-byte header (total size, decoded size, both
// little-endian) followed by an LZSS code stream over a 4096-byte ring window
// that starts with 4078 spaces. No Windows headers: the encoder tool and the
// host tests use it too.
#pragma once

#include <stddef.h>
#include <stdint.h>

const size_t kLzwgfxHeaderSize = 8;
const unsigned kLzwgfxWindowSize = 4096;
const unsigned kLzwgfxFirstWrite = 4096 - 18;   // positions before it hold spaces
const unsigned kLzwgfxMinMatch = 3;
const unsigned kLzwgfxMaxMatch = 18;

uint32_t ReadLittleEndian32(const uint8_t* p);

// The stream length the container may use: its total size field less the
// header, but never more than the bytes really there. False when the header
// itself is incomplete.
bool LzwgfxStreamLength(const uint8_t* resource, size_t resourceSize, size_t* streamLength);

// The most bytes a stream of `streamLength` bytes can decode to: at best every
// code is a two-byte match of 18 bytes, with a flag byte for each eight codes,
// so less than nine times the stream. A decoded-size field above it is false.
inline uint64_t LzwgfxMostDecoded(size_t streamLength)
{
    return uint64_t(streamLength) * 9;
}

// Decodes `streamLength` stream bytes into `output`, stopping when the input is
// used up or `outputSize` bytes are written, whichever comes first. Returns the
// number of bytes written; `consumed` (optional) receives the stream bytes read.
size_t DecodeLzwgfxStream(const uint8_t* stream, size_t streamLength, uint8_t* output, size_t outputSize,
                          size_t* consumed);
