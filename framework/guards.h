// One small owner per kind of Win32 resource: acquire in the constructor (or by
// assignment), release in the destructor, convert to the raw handle. They let an
// operation return from any step and still release everything it obtained.
#pragma once

#include <windows.h>

template <class H, class Traits>
class ScopedResource {
public:
    ScopedResource() : handle_(Traits::Invalid()) {}
    explicit ScopedResource(H h) : handle_(h) {}
    ~ScopedResource() { Reset(); }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;

    void Reset(H h = Traits::Invalid())
    {
        if (handle_ != Traits::Invalid()) Traits::Release(handle_);
        handle_ = h;
    }
    bool Valid() const { return handle_ != Traits::Invalid(); }
    H Get() const { return handle_; }
    operator H() const { return handle_; }
    H* Out() { Reset(); return &handle_; }   // for functions that return through a pointer

private:
    H handle_;
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return NULL; }
    static void Release(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE h) { FindClose(h); }
};
struct RegKeyTraits {
    static HKEY Invalid() { return NULL; }
    static void Release(HKEY k) { RegCloseKey(k); }
};
struct LocalMemoryTraits {
    static HLOCAL Invalid() { return NULL; }
    static void Release(HLOCAL m) { LocalFree(m); }
};

struct ProcessHeapTraits {
    static void* Invalid() { return nullptr; }
    static void Release(void* p) { HeapFree(GetProcessHeap(), 0, p); }
};

typedef ScopedResource<HANDLE, KernelHandleTraits> ScopedHandle;       // processes, threads, events, tokens
typedef ScopedResource<HANDLE, FileHandleTraits> ScopedFile;           // CreateFile results
typedef ScopedResource<HANDLE, FindHandleTraits> ScopedFind;           // FindFirstFile listings
typedef ScopedResource<HKEY, RegKeyTraits> ScopedRegKey;
typedef ScopedResource<HLOCAL, LocalMemoryTraits> ScopedLocalMemory;
typedef ScopedResource<void*, ProcessHeapTraits> ScopedHeapBlock;     // HeapAlloc on the process heap

// Keeps the process's current folder and sets it back when the scope ends.
class CurrentFolderKeeper {
public:
    CurrentFolderKeeper()
    {
        DWORD n = GetCurrentDirectoryW(MAX_PATH, kept_);
        valid_ = n > 0 && n < MAX_PATH;
    }
    ~CurrentFolderKeeper()
    {
        if (valid_) SetCurrentDirectoryW(kept_);
    }
    CurrentFolderKeeper(const CurrentFolderKeeper&) = delete;
    CurrentFolderKeeper& operator=(const CurrentFolderKeeper&) = delete;

private:
    wchar_t kept_[MAX_PATH];
    bool valid_;
};
