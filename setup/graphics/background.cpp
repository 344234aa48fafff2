// The menu's background bitmap: the decoded picture, its palette, stretched to
// the client area once when the menu opens.
#include "setup/graphics/gdi_guards.h"
#include "setup/graphics/graphics.h"
#include "setup/graphics/popularity_palette.h"

DisplayApi displayApi = { GetDeviceCaps, GetNearestColor, SelectPalette };

bool GetDisplayColorInfo(DisplayColorInfo* info)
{
    ScopedWindowDc dc(GetDesktopWindow());
    if (!dc) return false;
    int paletteSize = displayApi.getDeviceCaps(dc, NUMCOLORS);
    if (displayApi.getDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) paletteSize = displayApi.getDeviceCaps(dc, SIZEPALETTE);
    info->bitsPerPixel = displayApi.getDeviceCaps(dc, PLANES) * displayApi.getDeviceCaps(dc, BITSPIXEL);
    info->paletteSize = info->bitsPerPixel > 8 ? 0 : paletteSize;
    return true;
}

HPALETTE CreatePicturePalette(const uint8_t* pixels, NormalizedDib* dib)
{
    DisplayColorInfo display;
    if (!GetDisplayColorInfo(&display)) return NULL;
    uint32_t count = dib->header.clrUsed;
    if (display.bitsPerPixel == 8 && DibBits(dib->header) == 24) {
        if (display.paletteSize < 0 ||
            !BuildPopularityPalette(5, uint32_t(dib->header.width), uint32_t(dib->header.height), pixels,
                                    uint32_t(display.paletteSize), &count, dib->colors))
            return NULL;
        dib->header.clrUsed = count;
    }
    if (count == 0 || count > 256 || display.bitsPerPixel > 8) return NULL;

    ScopedBlock logBlock(sizeof(LOGPALETTE) + (count - 1) * sizeof(PALETTEENTRY));
    LOGPALETTE* log = logBlock.As<LOGPALETTE>();
    if (!log) return NULL;
    log->palVersion = 0x300;
    log->palNumEntries = WORD(count);
    for (uint32_t i = 0; i < count; ++i) {
        log->palPalEntry[i].peRed = dib->colors[i].red;
        log->palPalEntry[i].peGreen = dib->colors[i].green;
        log->palPalEntry[i].peBlue = dib->colors[i].blue;
        log->palPalEntry[i].peFlags = 0;
    }
    return CreatePalette(log);
}

namespace {

void ReplacePalette(HPALETTE* slot, HPALETTE palette)
{
    if (*slot && *slot != palette) DeleteObject(*slot);
    *slot = palette;
}

// Fills the bitmap dark grey and draws the picture over the destination.
void DrawPicture(HDC memory, int width, int height, const RECT* client, HPALETTE palette,
                 const DisplayColorInfo& display, NormalizedDib* dib, const uint8_t* pixels)
{
    RECT all = { 0, 0, width, height };
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    HPALETTE previous = NULL;
    if (palette) {
        previous = SelectPalette(memory, palette, FALSE);
        RealizePalette(memory);
    }
    // On 8-bit displays the system maps the picture to the realised palette;
    // elsewhere the picture is scaled and dithered here, or stretched by the
    // system when that fails.
    if (display.bitsPerPixel == 8 ||
        !DrawDitheredPicture(memory, client->left, client->top, width, height, dib, pixels, SRCCOPY))
        StretchDIBits(memory, client->left, client->top, width, height, 0, 0, dib->header.width, dib->header.height,
                      pixels, AsBitmapInfo(dib), DIB_RGB_COLORS, SRCCOPY);
    if (previous) SelectPalette(memory, previous, FALSE);
}

}  // namespace

HBITMAP CreateBackgroundBitmap(const RECT* client, HINSTANCE module, HDC dc, UINT id, HPALETTE* paletteSlot)
{
    if (!client || !module || !dc || !paletteSlot || LOWORD(id) == 0) return NULL;
    DisplayColorInfo display;
    if (!GetDisplayColorInfo(&display)) return NULL;

    HBITMAP bitmap = NULL;
    bool paletteStays = false;   // only a failed bitmap keeps the palette in the slot
    DWORD decodedSize = 0;
    HGLOBAL decoded = DecodeLzwgfxResource(module, "LZWGFX", LOWORD(id), &decodedSize);
    const uint8_t* data = decoded ? static_cast<const uint8_t*>(GlobalLock(decoded)) : NULL;
    ScopedBlock dibBlock(sizeof(NormalizedDib));
    NormalizedDib* dib = dibBlock.As<NormalizedDib>();
    const uint8_t* pixels = NULL;
    // The header, colour table and pixel rows must all lie inside the decoded data.
    if (data && dib && decodedSize > kBmpFileHeaderSize &&
        ReadDibHeader(data + kBmpFileHeaderSize, decodedSize - kBmpFileHeaderSize, dib, &pixels)) {
        ReplacePalette(paletteSlot, CreatePicturePalette(pixels, dib));
        ScopedMemoryDc memory(CreateCompatibleDC(dc));
        int width = client->right - client->left, height = client->bottom - client->top;
        if (memory) {
            paletteStays = true;
            if (width > 0 && height > 0) bitmap = CreateCompatibleBitmap(dc, width, height);
        }
        if (bitmap) {
            SetStretchBltMode(memory, COLORONCOLOR);
            HGDIOBJ previous = SelectObject(memory, bitmap);
            DrawPicture(memory, width, height, client, *paletteSlot, display, dib, pixels);
            SelectObject(memory, previous);
        }
    }
    if (!bitmap && !paletteStays) ReplacePalette(paletteSlot, NULL);
    if (data) GlobalUnlock(decoded);
    if (decoded) GlobalFree(decoded);
    return bitmap;
}
