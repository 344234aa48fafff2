#include "splash_support.h"

#include <gdiplus.h>

GdiplusSession::GdiplusSession() : token_(0)
{
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiplusSession::~GdiplusSession()
{
    Gdiplus::GdiplusShutdown(token_);
}

TestWindow::TestWindow(int width, int height)
{
    static ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"SplashTestWindow";
        return RegisterClassW(&wc);
    }();
    (void)atom;
    window_ = CreateWindowExW(WS_EX_TOPMOST, L"SplashTestWindow", L"", WS_POPUP | WS_VISIBLE, 40, 40, width, height,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(window_);
    PumpMessages(200);
}

TestWindow::~TestWindow()
{
    DestroyWindow(window_);
    PumpMessages(50);
}

int FrameOfColour(COLORREF colour)
{
    for (int i = 0; i < 3; ++i)
        if (kFrameColours[i] == colour) return i;
    return -1;
}

static double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

std::vector<Showing> WatchPoint(HWND window, int x, int y, DWORD ms, size_t stopAfter)
{
    std::vector<Showing> showings;
    HDC dc = GetDC(window);
    double start = NowMs();
    for (double now = start; now - start < ms; now = NowMs()) {
        COLORREF colour = GetPixel(dc, x, y);
        if (showings.empty() || showings.back().colour != colour) {
            if (stopAfter && showings.size() == stopAfter) break;
            showings.push_back({colour, now - start});
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(1);
    }
    ReleaseDC(window, dc);
    return showings;
}

std::vector<Showing> FramesOnly(const std::vector<Showing>& showings)
{
    std::vector<Showing> frames;
    for (const Showing& s : showings) {
        if (FrameOfColour(s.colour) < 0) continue;
        if (frames.empty() || frames.back().colour != s.colour) frames.push_back(s);
    }
    return frames;
}

bool WaitForColour(HWND window, int x, int y, COLORREF colour, DWORD ms)
{
    HDC dc = GetDC(window);
    bool seen = false;
    for (DWORD start = GetTickCount(); !seen && GetTickCount() - start < ms;) {
        seen = GetPixel(dc, x, y) == colour;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (!seen) Sleep(1);
    }
    ReleaseDC(window, dc);
    return seen;
}
