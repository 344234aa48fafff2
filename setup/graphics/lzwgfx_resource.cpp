// Decoding the LZWGFX resource into a global memory block.
#include "setup/graphics/graphics.h"
#include "setup/graphics/lzwgfx.h"

HGLOBAL DecodeLzwgfxResource(HINSTANCE module, LPCSTR type, WORD id, DWORD* decodedSize)
{
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!info) return NULL;
    HGLOBAL resource = LoadResource(module, info);
    if (!resource) return NULL;

    HGLOBAL block = NULL;
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(resource));
    size_t streamLength = 0;
    // The stream never reaches past the resource, whatever its size field says.
    if (data && LzwgfxStreamLength(data, SizeofResource(module, info), &streamLength)) {
        DWORD size = ReadLittleEndian32(data + 4);
        if (decodedSize) *decodedSize = size;
        block = size ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size) : NULL;
        uint8_t* output = block ? static_cast<uint8_t*>(GlobalLock(block)) : NULL;
        if (output) {
            DecodeLzwgfxStream(data + kLzwgfxHeaderSize, streamLength, output, size, NULL);
            GlobalUnlock(block);
        }
    }
    FreeResource(resource);
    return block;
}
