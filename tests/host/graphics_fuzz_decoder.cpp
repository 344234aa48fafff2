// Fuzz target: an LZWGFX resource of any bytes, decoded into a block of its
// decoded size (capped), then read as a picture as the menu would.
#include <stdint.h>
#include <stdlib.h>

#include "setup/graphics/dib.h"
#include "setup/graphics/lzwgfx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The resource in a block of its own size, so reading past it is caught.
    uint8_t* resource = static_cast<uint8_t*>(malloc(size ? size : 1));
    for (size_t i = 0; i < size; ++i) resource[i] = data[i];
    size_t streamLength = 0;
    if (LzwgfxStreamLength(resource, size, &streamLength)) {
        // Capped at what the stream can give: the decoder stops there anyway,
        // and zeroing a larger block for every input would slow the search.
        uint32_t decodedSize = ReadLittleEndian32(resource + 4);
        if (decodedSize > LzwgfxMostDecoded(streamLength)) decodedSize = uint32_t(LzwgfxMostDecoded(streamLength));
        uint8_t* output = static_cast<uint8_t*>(calloc(decodedSize ? decodedSize : 1, 1));
        size_t consumed = 0;
        size_t produced = DecodeLzwgfxStream(resource + kLzwgfxHeaderSize, streamLength, output, decodedSize, &consumed);
        if (produced > decodedSize || consumed > streamLength) abort();
        NormalizedDib dib;
        const uint8_t* pixels = nullptr;
        if (decodedSize > kBmpFileHeaderSize &&
            ReadDibHeader(output + kBmpFileHeaderSize, decodedSize - kBmpFileHeaderSize, &dib, &pixels)) {
            // Counted here in 64 bits, not with the reader's own helpers: every
            // byte of the rows it accepted must be there.
            uint64_t row = (uint64_t(DibBits(dib.header)) * uint32_t(dib.header.width) + 31) / 32 * 4;
            uint64_t bytes = row * uint32_t(dib.header.height);
            volatile uint8_t sink = 0;
            if (bytes) sink = sink + pixels[0] + pixels[bytes - 1];
        }
        free(output);
    }
    free(resource);
    return 0;
}
