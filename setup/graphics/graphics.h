// The disc menu's background picture on Windows: decoding the LZWGFX resource,
// the display's colour capabilities, the picture's palette, the off-screen
// background bitmap, and the scaled and dithered drawing for displays that
// do not have exactly 8 bits per pixel.
#pragma once

#include <windows.h>

#include "setup/graphics/blocks.h"
#include "setup/graphics/dib.h"

// The screen's colour capabilities.
struct DisplayColorInfo {
    int bitsPerPixel;   // planes × bits per pixel
    int paletteSize;    // colours of the display's palette; 0 above 8 bits per pixel
};

// Where the graphics code asks the display about itself (and selects the
// palette it reads the display's colours through). Tests put other functions
// here to run the 1-, 4- and 8-bit branches on any display.
struct DisplayApi {
    int(WINAPI* getDeviceCaps)(HDC dc, int index);
    COLORREF(WINAPI* getNearestColor)(HDC dc, COLORREF color);
    HPALETTE(WINAPI* selectPalette)(HDC dc, HPALETTE palette, BOOL background);
};
extern DisplayApi displayApi;

// Decodes resource `id` of `type` into a new movable global block (unlocked)
// of the container's decoded size; `decodedSize` (optional) receives that
// size. Null when the resource is missing or unreadable or there is no memory.
HGLOBAL DecodeLzwgfxResource(HINSTANCE module, LPCSTR type, WORD id, DWORD* decodedSize);

// Reads the colour capabilities from a device context of the desktop window.
bool GetDisplayColorInfo(DisplayColorInfo* info);

// The palette the picture needs on this display, or null: a popularity palette
// for a true-colour picture on an 8-bit display (written into the picture's
// colour table), the picture's own colours on displays of up to 8 bits.
HPALETTE CreatePicturePalette(const uint8_t* pixels, NormalizedDib* dib);

// Draws picture `id` of type "LZWGFX", stretched to `client`, into a new
// bitmap compatible with `dc`. The picture's palette (or null) goes into
// `paletteSlot`; a palette the slot held before is deleted. The caller owns
// the bitmap and the palette. Null when there is no picture; then the slot is
// cleared, except when only the bitmap could not be made.
HBITMAP CreateBackgroundBitmap(const RECT* client, HINSTANCE module, HDC dc, UINT id, HPALETTE* paletteSlot);

// Scales the picture into a screen-sized working picture at (x, y, width,
// height) and draws it row by row, reduced to the display's colours, into
// `memoryDc`. False when it could not; nothing useful was drawn then.
bool DrawDitheredPicture(HDC memoryDc, int x, int y, int width, int height, const NormalizedDib* dib,
                         const uint8_t* pixels, DWORD rop);

// The display's own colours: a logical palette, its table (256 entries, the
// first paletteSize used) and the InverseColorMap (32768 bytes) onto it. On
// displays above 8 bits there is nothing to capture: success with no palette.
bool CaptureDevicePalette(HPALETTE* palette, DibColor* table, uint8_t* inverseMap);

// Converts every row of the working picture and draws it at its row of
// `memoryDc`, through the device palette on displays of up to 8 bits.
bool OutputDitheredRows(HDC memoryDc, HPALETTE palette, const DibColor* table, const uint8_t* inverseMap,
                        const uint8_t* workingPixels, const NormalizedDib* working, DWORD rop);

// The normalised header as the BITMAPINFO that StretchDIBits takes.
inline const BITMAPINFO* AsBitmapInfo(const NormalizedDib* dib)
{
    return reinterpret_cast<const BITMAPINFO*>(dib);
}
static_assert(sizeof(DibInfoHeader) == sizeof(BITMAPINFOHEADER), "info header layout");
static_assert(sizeof(DibColor) == sizeof(RGBQUAD), "colour entry layout");
