// Zero-filled working blocks of the graphics code. On Windows they come from
// the global heap; the host build (tools, tests, fuzzing) uses the C heap.
#pragma once

#include <stddef.h>

// A zero-filled block of `bytes` bytes, or null.
void* AllocBlock(size_t bytes);
// Returns a block of AllocBlock; null is ignored.
void FreeBlock(void* block);

// Owns one working block for the length of a scope.
class ScopedBlock {
public:
    explicit ScopedBlock(size_t bytes) : block_(AllocBlock(bytes)) {}
    ~ScopedBlock() { FreeBlock(block_); }
    ScopedBlock(const ScopedBlock&) = delete;
    ScopedBlock& operator=(const ScopedBlock&) = delete;
    void* Get() const { return block_; }
    template <class T> T* As() const { return static_cast<T*>(block_); }

private:
    void* block_;
};
