// Helpers of the splash tests: GDI+ for the length of a test suite, a plain
// window to animate in, and what a point of a window showed over time.
#pragma once

#include <windows.h>

#include <vector>

#include "support.h"

// Starts GDI+ in the constructor and shuts it down in the destructor.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_;
};

// A visible white pop-up window with the given client size, destroyed at the end.
class TestWindow {
public:
    TestWindow(int width, int height);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    HWND window_;
};


// The picture colours of the test GIFs, mapped to frame numbers 0, 1, 2; -1 for
// any other colour.
const COLORREF kFrameColours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
const COLORREF kWindowColour = RGB(255, 255, 255);
int FrameOfColour(COLORREF colour);

// One stretch of time during which a point showed one colour.
struct Showing {
    COLORREF colour;
    double startMs;   // since watching began
};

// Watches client point (x, y) of `window` for `ms` milliseconds (or until
// `stopAfter` distinct showings were seen, when given) and returns every change
// of colour in order, the first colour seen included.
std::vector<Showing> WatchPoint(HWND window, int x, int y, DWORD ms, size_t stopAfter = 0);

// The showings of frame colours only, with neighbours of the same frame merged:
// the window's background, shown for a moment between frames, drops out.
std::vector<Showing> FramesOnly(const std::vector<Showing>& showings);

// Waits (pumping messages) until the point shows `colour`; false after `ms`.
bool WaitForColour(HWND window, int x, int y, COLORREF colour, DWORD ms);
