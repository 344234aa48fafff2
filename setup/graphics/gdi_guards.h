// Owners of the GDI objects the graphics code makes for the length of a call.
#pragma once

#include <windows.h>

#include "framework/guards.h"

struct GdiObjectTraits {
    static HGDIOBJ Invalid() { return NULL; }
    static void Release(HGDIOBJ o) { DeleteObject(o); }
};
struct MemoryDcTraits {
    static HDC Invalid() { return NULL; }
    static void Release(HDC dc) { DeleteDC(dc); }
};
typedef ScopedResource<HGDIOBJ, GdiObjectTraits> ScopedGdiObject;
typedef ScopedResource<HDC, MemoryDcTraits> ScopedMemoryDc;

// A device context of a window (GetDC), released with ReleaseDC.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDc() { if (dc_) ReleaseDC(window_, dc_); }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
