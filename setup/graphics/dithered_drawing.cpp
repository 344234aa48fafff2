// Drawing the picture through a screen-sized working copy, converted row by
// row to the display's own pixels: error-diffused onto the 2 or 16 colours of
// 1- and 4-bit displays, plain 24-bit colour on deeper ones.
#include "setup/graphics/color_map.h"
#include "setup/graphics/dither.h"
#include "setup/graphics/gdi_guards.h"
#include "setup/graphics/graphics.h"
#include "setup/graphics/scale.h"

namespace {

// The 16 colours a 4-bit display really shows: an explicit palette of
// indices 0 to 15, realised on the desktop, read back colour by colour.
bool ReadDisplayPalette(LOGPALETTE* log, DibColor* table)
{
    for (int i = 0; i < 16; ++i) {
        log->palPalEntry[i].peRed = BYTE(i);
        log->palPalEntry[i].peGreen = 0;
        log->palPalEntry[i].peBlue = 0;
        log->palPalEntry[i].peFlags = PC_EXPLICIT;
    }
    ScopedWindowDc dc(GetDesktopWindow());
    if (!dc) return false;
    ScopedGdiObject explicitPalette(CreatePalette(log));
    if (!explicitPalette) return false;
    HPALETTE previous = displayApi.selectPalette(dc, static_cast<HPALETTE>(explicitPalette.Get()), TRUE);
    if (!previous) return false;
    bool ok = RealizePalette(dc) != GDI_ERROR;
    for (int i = 0; ok && i < 16; ++i) {
        COLORREF c = displayApi.getNearestColor(dc, PALETTEINDEX(i));
        if (c == CLR_INVALID) ok = false;
        table[i].red = GetRValue(c);
        table[i].green = GetGValue(c);
        table[i].blue = GetBValue(c);
        table[i].reserved = 0;
    }
    displayApi.selectPalette(dc, previous, TRUE);
    return ok;
}

}  // namespace

bool CaptureDevicePalette(HPALETTE* palette, DibColor* table, uint8_t* inverseMap)
{
    *palette = NULL;
    DisplayColorInfo display;
    if (!GetDisplayColorInfo(&display)) return false;
    if (display.paletteSize == 0) return display.bitsPerPixel > 8;
    // Only 2 colours at 1 bit and 16 at 4 bits are provided for; anything else
    // is left to the system's stretch.
    int size = display.paletteSize;
    if (!(size == 2 && display.bitsPerPixel == 1) && !(size == 16 && display.bitsPerPixel == 4)) return false;

    ScopedBlock logBlock(sizeof(LOGPALETTE) + 15 * sizeof(PALETTEENTRY));
    LOGPALETTE* log = logBlock.As<LOGPALETTE>();
    if (!log) return false;
    log->palVersion = 0x300;
    log->palNumEntries = WORD(size);
    bool ok = true;
    if (size == 2) {
        table[0] = DibColor{ 0, 0, 0, 0 };
        table[1] = DibColor{ 255, 255, 255, 0 };
    } else {
        ok = ReadDisplayPalette(log, table);
    }
    if (ok) {
        for (int i = 0; i < size; ++i) {
            log->palPalEntry[i].peRed = table[i].red;
            log->palPalEntry[i].peGreen = table[i].green;
            log->palPalEntry[i].peBlue = table[i].blue;
            log->palPalEntry[i].peFlags = 0;
        }
        *palette = CreatePalette(log);
        ok = *palette && BuildHsvInverseMap(uint32_t(size), table, 5, inverseMap);
    }
    if (!ok && *palette) {
        DeleteObject(*palette);
        *palette = NULL;
    }
    return ok;
}

bool OutputDitheredRows(HDC memoryDc, HPALETTE palette, const DibColor* table, const uint8_t* inverseMap,
                        const uint8_t* workingPixels, const NormalizedDib* working, DWORD rop)
{
    DisplayColorInfo display;
    if (!GetDisplayColorInfo(&display)) return false;
    bool indexed = display.bitsPerPixel <= 8;
    uint32_t width = uint32_t(working->header.width), height = uint32_t(working->header.height);
    unsigned bits = DibBits(working->header);
    unsigned outputBits = indexed ? unsigned(display.bitsPerPixel) : 24;

    ScopedBlock infoBlock(sizeof(BITMAPINFOHEADER) + 256 * sizeof(WORD));
    ScopedBlock rowBlock(DibStride(outputBits, width));
    ScopedBlock errorBlock(3 * size_t(width) * sizeof(ErrorEntry));
    BITMAPINFOHEADER* info = infoBlock.As<BITMAPINFOHEADER>();
    uint8_t* row = rowBlock.As<uint8_t>();
    if (!info || !row || !errorBlock.Get()) return false;
    info->biSize = sizeof(BITMAPINFOHEADER);
    info->biWidth = LONG(width);
    info->biHeight = 1;
    info->biPlanes = 1;
    info->biBitCount = WORD(outputBits);
    info->biClrUsed = DWORD(display.paletteSize);
    WORD* indices = reinterpret_cast<WORD*>(info + 1);
    for (int i = 0; indexed && i < display.paletteSize && i < 256; ++i) indices[i] = WORD(i);

    HPALETTE previous = NULL;
    if (indexed) {
        previous = SelectPalette(memoryDc, palette, FALSE);
        if (!previous) return false;
        RealizePalette(memoryDc);
    }
    ErrorRows errors;
    InitErrorRows(&errors, errorBlock.As<ErrorEntry>(), width);
    uint32_t stride = DibStride(bits, width);
    const BITMAPINFO* rowInfo = reinterpret_cast<const BITMAPINFO*>(info);
    for (uint32_t y = 0; y < height; ++y) {
        // Row y from the top is the memory row height - 1 - y.
        DitherRow(row, workingPixels + size_t(height - 1 - y) * stride, &errors, unsigned(display.bitsPerPixel), bits,
                  width, table, working->colors, inverseMap, 5);
        StretchDIBits(memoryDc, 0, int(y), int(width), 1, 0, 0, int(width), 1, row, rowInfo,
                      indexed ? DIB_PAL_COLORS : DIB_RGB_COLORS, rop);
    }
    if (indexed) {
        if (!SelectPalette(memoryDc, previous, FALSE)) return false;
        RealizePalette(memoryDc);
    }
    return true;
}

bool DrawDitheredPicture(HDC memoryDc, int x, int y, int width, int height, const NormalizedDib* dib,
                         const uint8_t* pixels, DWORD rop)
{
    if (width <= 0 || height <= 0) return false;
    ScopedBlock workingBlock(sizeof(NormalizedDib));
    ScopedBlock tableBlock(256 * sizeof(DibColor));
    ScopedBlock mapBlock(kInverseColorMapSize);
    NormalizedDib* working = workingBlock.As<NormalizedDib>();
    if (!working || !tableBlock.Get() || !mapBlock.Get()) return false;
    *working = *dib;

    HPALETTE devicePalette = NULL;
    if (!CaptureDevicePalette(&devicePalette, tableBlock.As<DibColor>(), mapBlock.As<uint8_t>())) return false;
    ScopedGdiObject paletteOwner(devicePalette);

    RECT screen;
    if (!GetWindowRect(GetDesktopWindow(), &screen)) return false;
    working->header.width = screen.right - screen.left;
    working->header.height = screen.bottom - screen.top;
    if (working->header.width <= 0 || working->header.height <= 0) return false;
    unsigned bits = DibBits(working->header);
    ScopedBlock pixelBlock(size_t(DibStride(bits, uint32_t(working->header.width))) * uint32_t(working->header.height));
    uint8_t* workingPixels = pixelBlock.As<uint8_t>();
    if (!workingPixels) return false;

    ScalePicture(x, y, x + width - 1, y + height - 1, uint32_t(working->header.width),
                 uint32_t(working->header.height), bits, workingPixels, 0, 0, dib->header.width - 1,
                 dib->header.height - 1, uint32_t(dib->header.width), uint32_t(dib->header.height), bits, pixels,
                 dib->colors);
    return OutputDitheredRows(memoryDc, devicePalette, tableBlock.As<DibColor>(), mapBlock.As<uint8_t>(),
                              workingPixels, working, rop);
}
