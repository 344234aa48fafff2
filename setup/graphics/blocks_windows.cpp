// Working blocks of setup: zero-filled fixed blocks of the global heap.
#include "setup/graphics/blocks.h"

#include <windows.h>

void* AllocBlock(size_t bytes)
{
    return GlobalAlloc(GPTR, bytes ? bytes : 1);
}

void FreeBlock(void* block)
{
    if (block) GlobalFree(block);
}
