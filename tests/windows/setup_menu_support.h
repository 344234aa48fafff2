// Helpers of the disc menu's window tests: the real mouse and keyboard, the
// screen's pixels under a window, and a screenshot written as a BMP file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support.h"

// Colours the tests configure, chosen to stand out from the background picture.
const uint32_t kTitleRgb = 0xFA0AFA;   // title_color = 250, 10, 250
const uint32_t kHiliteRgb = 0x0AFAFA;  // hilite_color = 10, 250, 250
const uint32_t kBodyRgb = 0xFAFA0A;    // body_text_color = 250, 250, 10
const char kMenuColors[] =
    "title_color = 250, 10, 250\r\nhilite_color = 10, 250, 250\r\nbody_text_color = 250, 250, 10\r\n";

inline void SendMouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// Puts the pointer on a client point of `window` and lets the system report
// the move as a hardware event (a relative move of nothing, at that place).
inline void MoveMouseTo(HWND window, POINT client)
{
    POINT screen = client;
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMouse(MOUSEEVENTF_MOVE);
    PumpMessages();
}

inline void PressLeft() { SendMouse(MOUSEEVENTF_LEFTDOWN); PumpMessages(); }
inline void ReleaseLeft() { SendMouse(MOUSEEVENTF_LEFTUP); PumpMessages(); }

inline void PressKey(WORD key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
    PumpMessages();
}

// What the screen shows in the client area of a window, as 0xRRGGBB.
struct ClientPixels {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;   // top row first

    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    // Pixels of exactly this colour inside the rectangle (edges included).
    int Count(uint32_t rgb, RECT area) const
    {
        int n = 0;
        for (int y = area.top < 0 ? 0 : area.top; y <= area.bottom && y < height; ++y)
            for (int x = area.left < 0 ? 0 : area.left; x <= area.right && x < width; ++x)
                if (At(x, y) == rgb) ++n;
        return n;
    }
    int Count(uint32_t rgb) const { return Count(rgb, RECT{0, 0, width - 1, height - 1}); }
    // The smallest rectangle holding every pixel of this colour inside `area`;
    // empty (right < left) when there is none.
    RECT Bounds(uint32_t rgb, RECT area) const
    {
        RECT found = {width, height, -1, -1};
        for (int y = area.top < 0 ? 0 : area.top; y <= area.bottom && y < height; ++y)
            for (int x = area.left < 0 ? 0 : area.left; x <= area.right && x < width; ++x)
                if (At(x, y) == rgb) {
                    if (x < found.left) found.left = x;
                    if (x > found.right) found.right = x;
                    if (y < found.top) found.top = y;
                    if (y > found.bottom) found.bottom = y;
                }
        return found;
    }
};

inline ClientPixels CaptureClient(HWND window)
{
    ClientPixels shot;
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    shot.width = client.right;
    shot.height = client.bottom;
    if (shot.width <= 0 || shot.height <= 0) return shot;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    shot.pixels.assign(p, p + size_t(shot.width) * shot.height);
    for (uint32_t& px : shot.pixels) px &= 0xFFFFFF;
    SelectObject(memory, kept);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

// Writes the pixels as a 24-bit BMP file.
inline bool WriteBmp(const std::wstring& path, const ClientPixels& shot)
{
    int stride = (shot.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = shot.width;
    info.biHeight = shot.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = DWORD(stride * shot.height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return false;
    fwrite(&file, sizeof file, 1, out);
    fwrite(&info, sizeof info, 1, out);
    std::vector<uint8_t> row(size_t(stride), 0);
    for (int y = shot.height - 1; y >= 0; --y) {
        for (int x = 0; x < shot.width; ++x) {
            uint32_t px = shot.At(x, y);
            row[size_t(x) * 3] = uint8_t(px);
            row[size_t(x) * 3 + 1] = uint8_t(px >> 8);
            row[size_t(x) * 3 + 2] = uint8_t(px >> 16);
        }
        fwrite(row.data(), row.size(), 1, out);
    }
    return fclose(out) == 0;
}

// A button of the menu where it stood before the menu moved it 2000 pixels
// to the right, in the menu's client coordinates.
inline RECT ButtonHome(HWND menu, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(menu, id), &rect);
    MapWindowPoints(HWND_DESKTOP, menu, reinterpret_cast<POINT*>(&rect), 2);
    OffsetRect(&rect, -2000, 0);
    return rect;
}

// A point on a right-aligned label: just left of its button, at mid-height.
inline POINT OnRightAlignedLabel(HWND menu, int id)
{
    RECT home = ButtonHome(menu, id);
    return POINT{home.left - 4, (home.top + home.bottom) / 2};
}
