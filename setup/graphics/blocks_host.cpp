// Working blocks of the host build: the C heap.
#include "setup/graphics/blocks.h"

#include <stdlib.h>

void* AllocBlock(size_t bytes)
{
    return calloc(bytes ? bytes : 1, 1);
}

void FreeBlock(void* block)
{
    free(block);
}
