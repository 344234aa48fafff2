// The menu's background picture under Wine: decoding the resource, the
// background bitmap on a true-colour display, and the 8-, 4- and 1-bit
// branches through substituted display capabilities.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "setup/graphics/dither.h"
#include "setup/graphics/graphics.h"
#include "setup/graphics/scale.h"
#include "support.h"

namespace {

typedef std::vector<uint8_t> Bytes;

const WORD kPictureId = 2010;
const uint32_t kField = 0x1E6E32;   // the artwork's green field

// The picture the build encoded (the artwork or SETUP_BACKGROUND_BMP), read
// through Wine's Z: drive.
Bytes PictureFile()
{
    std::string path = std::string("Z:") + GRAPHICS_PICTURE_BMP;
    Bytes bytes;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        int c;
        while ((c = fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
        fclose(f);
    }
    return bytes;
}

// The decoded resource, copied out of its global block.
struct Decoded {
    Bytes bytes;
    NormalizedDib dib = {};
    const uint8_t* pixels = nullptr;
    bool Read(HINSTANCE module, WORD id)
    {
        DWORD size = 0;
        HGLOBAL block = DecodeLzwgfxResource(module, "LZWGFX", id, &size);
        if (!block) return false;
        const uint8_t* data = static_cast<const uint8_t*>(GlobalLock(block));
        bytes.assign(data, data + size);
        GlobalUnlock(block);
        GlobalFree(block);
        return bytes.size() > 14 && ReadDibHeader(bytes.data() + 14, bytes.size() - 14, &dib, &pixels);
    }
    // 0xRRGGBB of a 24-bit picture, y from the top.
    uint32_t Pixel(int x, int y) const
    {
        const uint8_t* p = pixels + size_t(dib.header.height - 1 - y) * DibStride(24, dib.header.width) + 3 * x;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
};

// The pixels of a bitmap as 0xRRGGBB, top row first.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(size_t(width) * height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(height, rows);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// Renders picture `id` of `module` for a client area of width × height.
struct Rendered {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    std::vector<uint32_t> pixels;
    Rendered(int width, int height, HINSTANCE module = GetModuleHandleW(nullptr), WORD id = kPictureId)
    {
        RECT client = {0, 0, width, height};
        HDC dc = GetDC(nullptr);
        bitmap = CreateBackgroundBitmap(&client, module, dc, id, &palette);
        ReleaseDC(nullptr, dc);
        if (bitmap) pixels = BitmapPixels(bitmap, width, height);
    }
    ~Rendered()
    {
        if (bitmap) DeleteObject(bitmap);
        if (palette) DeleteObject(palette);
    }
};

// Display capabilities substituted for the length of a scope.
struct FakeDisplay {
    static int bits, numColors, sizePalette;
    static bool paletteDevice;
    static const COLORREF* colors;

    static int WINAPI Caps(HDC dc, int index)
    {
        switch (index) {
        case BITSPIXEL: return bits;
        case PLANES: return 1;
        case NUMCOLORS: return numColors;
        case SIZEPALETTE: return sizePalette;
        case RASTERCAPS: return paletteDevice ? GetDeviceCaps(dc, index) | RC_PALETTE
                                              : GetDeviceCaps(dc, index) & ~RC_PALETTE;
        default: return GetDeviceCaps(dc, index);
        }
    }
    static COLORREF WINAPI Nearest(HDC dc, COLORREF color)
    {
        if (colors && (color >> 24) == 1) return colors[color & 0xFFFF];
        return GetNearestColor(dc, color);
    }
    // Selections of palettes, as (palette selected, palette it replaced).
    static HPALETTE WINAPI Select(HDC dc, HPALETTE palette, BOOL background)
    {
        HPALETTE previous = SelectPalette(dc, palette, background);
        selections.push_back({palette, previous});
        return previous;
    }
    static std::vector<std::pair<HPALETTE, HPALETTE>> selections;

    FakeDisplay(int b, int n, int s, bool palette, const COLORREF* table = nullptr) : saved_(displayApi)
    {
        bits = b;
        numColors = n;
        sizePalette = s;
        paletteDevice = palette;
        colors = table;
        displayApi.getDeviceCaps = Caps;
        displayApi.getNearestColor = Nearest;
        displayApi.selectPalette = Select;
        selections.clear();
    }
    ~FakeDisplay() { displayApi = saved_; }
    DisplayApi saved_;
};
int FakeDisplay::bits, FakeDisplay::numColors, FakeDisplay::sizePalette;
bool FakeDisplay::paletteDevice;
const COLORREF* FakeDisplay::colors;
std::vector<std::pair<HPALETTE, HPALETTE>> FakeDisplay::selections;

// The 16 colours of a VGA display, as COLORREF (0x00BBGGRR).
const COLORREF kVga[16] = {
    RGB(0, 0, 0),     RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0), RGB(0, 0, 128),   RGB(128, 0, 128),
    RGB(0, 128, 128), RGB(192, 192, 192), RGB(128, 128, 128), RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 0),
    RGB(0, 0, 255),   RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};

uint32_t ToRgb(COLORREF c)
{
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// Mean of one channel (shift 16 red, 8 green, 0 blue) over a rectangle.
double Mean(const std::vector<uint32_t>& pixels, int width, RECT r, int shift)
{
    double sum = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) sum += (pixels[size_t(y) * width + x] >> shift) & 0xFF;
    return sum / double((r.right - r.left) * (r.bottom - r.top));
}

TEST(DecodeLzwgfxResource, TheMenuPictureDecodesToTheBuiltBmp)
{
    Bytes expected = PictureFile();
    ASSERT_FALSE(expected.empty()) << GRAPHICS_PICTURE_BMP;
    Decoded d;
    ASSERT_TRUE(d.Read(GetModuleHandleW(nullptr), kPictureId));
    EXPECT_EQ(expected, d.bytes);
    EXPECT_EQ('B', d.bytes[0]);
    EXPECT_EQ('M', d.bytes[1]);
}

TEST(DecodeLzwgfxResource, MissingResourceGivesNull)
{
    DWORD size = 0xDEADBEEF;
    EXPECT_EQ(nullptr, DecodeLzwgfxResource(GetModuleHandleW(nullptr), "LZWGFX", 2099, &size));
    EXPECT_EQ(nullptr, DecodeLzwgfxResource(GetModuleHandleW(nullptr), "OTHER", kPictureId, &size));
    EXPECT_EQ(0xDEADBEEFu, size);
}

// An LZWGFX container of literals only, with the size field given.
Bytes LiteralContainer(const Bytes& data, uint32_t totalField = 0, uint32_t decodedSize = 0)
{
    Bytes c(8, 0);
    for (size_t i = 0; i < data.size(); ++i) {
        if (i % 8 == 0) c.push_back(uint8_t((1u << std::min<size_t>(8, data.size() - i)) - 1));   // literals
        c.push_back(data[i]);
    }
    uint32_t total = totalField ? totalField : uint32_t(c.size());
    uint32_t decoded = decodedSize ? decodedSize : uint32_t(data.size());
    for (int k = 0; k < 4; ++k) {
        c[k] = uint8_t(total >> (8 * k));
        c[4 + k] = uint8_t(decoded >> (8 * k));
    }
    return c;
}

// A copy of the probe program carrying LZWGFX resources, loaded as data.
class ResourceModule {
public:
    explicit ResourceModule(const std::vector<std::pair<WORD, Bytes>>& resources)
    {
        path_ = scratch_ / L"pictures.exe";
        EXPECT_TRUE(CopyFileW(ProbeProgram().c_str(), path_.c_str(), FALSE));
        HANDLE update = BeginUpdateResourceW(path_.c_str(), FALSE);
        EXPECT_NE(nullptr, update);
        for (const auto& r : resources)
            EXPECT_TRUE(UpdateResourceW(update, L"LZWGFX", MAKEINTRESOURCEW(r.first),
                                        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), const_cast<uint8_t*>(r.second.data()),
                                        DWORD(r.second.size())));
        EXPECT_TRUE(EndUpdateResourceW(update, FALSE));
        module_ = LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        EXPECT_NE(nullptr, module_);
    }
    ~ResourceModule()
    {
        if (module_) FreeLibrary(module_);
    }
    HINSTANCE Get() const { return module_; }

private:
    ScratchFolder scratch_;
    std::wstring path_;
    HMODULE module_ = nullptr;
};

// A BMP file of a w × h 8-bit picture whose header claims `colors` colours.
Bytes EightBitBmp(int w, int h, uint32_t colors)
{
    uint32_t table = colors ? colors : 256;
    Bytes b(14 + 40 + 4 * std::min<uint32_t>(table, 256) + size_t(DibStride(8, w)) * h, 0);
    auto put = [&](size_t at, uint32_t v) { for (int k = 0; k < 4; ++k) b[at + k] = uint8_t(v >> (8 * k)); };
    b[0] = 'B';
    b[1] = 'M';
    put(2, uint32_t(b.size()));
    put(10, uint32_t(b.size() - size_t(DibStride(8, w)) * h));
    put(14, 40);
    put(18, uint32_t(w));
    put(22, uint32_t(h));
    b[26] = 1;
    b[28] = 8;
    put(46, colors);
    return b;
}

TEST(DecodeLzwgfxResource, ReadsNoFurtherThanTheResourceWhateverItsSizeField)
{
    Bytes data = {'a', 'b', 'c', 'd', 'e'};
    ResourceModule module({{3001, LiteralContainer(data, 0x7FFFFFF0, 64)}});
    DWORD size = 0;
    HGLOBAL block = DecodeLzwgfxResource(module.Get(), "LZWGFX", 3001, &size);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(64u, size);
    const uint8_t* out = static_cast<const uint8_t*>(GlobalLock(block));
    Bytes expected(64, 0);
    std::copy(data.begin(), data.end(), expected.begin());
    EXPECT_EQ(expected, Bytes(out, out + 64));
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST(CreateBackgroundBitmap, TrueColourDisplayCopiesThePicturePixelForPixel)
{
    Decoded d;
    ASSERT_TRUE(d.Read(GetModuleHandleW(nullptr), kPictureId));
    ASSERT_EQ(488, d.dib.header.width);
    ASSERT_EQ(325, d.dib.header.height);
    Rendered r(488, 325);
    ASSERT_NE(nullptr, r.bitmap);
    EXPECT_EQ(nullptr, r.palette);
    int mismatches = 0;
    for (int y = 0; y < 325; ++y)
        for (int x = 0; x < 488; ++x)
            if (r.pixels[size_t(y) * 488 + x] != d.Pixel(x, y) && ++mismatches < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << r.pixels[size_t(y) * 488 + x]
                              << " instead of " << d.Pixel(x, y);
    EXPECT_EQ(0, mismatches);
}

TEST(CreateBackgroundBitmap, OtherClientSizesAreFilledWithTheScaledPicture)
{
    Decoded d;
    ASSERT_TRUE(d.Read(GetModuleHandleW(nullptr), kPictureId));
    for (SIZE size : {SIZE{600, 400}, SIZE{300, 162}}) {
        Rendered r(size.cx, size.cy);
        ASSERT_NE(nullptr, r.bitmap);
        // Nearest-neighbour: each bitmap pixel is the picture pixel the scaler picks.
        Bytes scaled(size_t(DibStride(24, size.cx)) * size.cy);
        ScalePicture(0, 0, size.cx - 1, size.cy - 1, size.cx, size.cy, 24, scaled.data(), 0, 0, 487, 324, 488, 325, 24,
                     d.pixels, nullptr);
        int mismatches = 0, grey = 0;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) {
                const uint8_t* p = &scaled[size_t(size.cy - 1 - y) * DibStride(24, size.cx) + 3 * x];
                uint32_t want = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
                uint32_t got = r.pixels[size_t(y) * size.cx + x];
                mismatches += got != want;
                grey += got == 0x404040;   // the dark grey fill
            }
        EXPECT_EQ(0, mismatches) << size.cx << "x" << size.cy;
        EXPECT_EQ(0, grey) << size.cx << "x" << size.cy;
        EXPECT_EQ(kField, r.pixels.back());
    }
}

TEST(CreateBackgroundBitmap, MissingArgumentsAndMissingPictures)
{
    RECT client = {0, 0, 100, 100};
    HDC dc = GetDC(nullptr);
    HINSTANCE self = GetModuleHandleW(nullptr);
    HPALETTE held = CreateHalftonePalette(dc);
    HPALETTE slot = held;
    // Missing arguments or id 0: null, the slot untouched.
    EXPECT_EQ(nullptr, CreateBackgroundBitmap(&client, self, dc, 0x10000, &slot));
    EXPECT_EQ(nullptr, CreateBackgroundBitmap(&client, nullptr, dc, kPictureId, &slot));
    EXPECT_EQ(nullptr, CreateBackgroundBitmap(&client, self, nullptr, kPictureId, &slot));
    EXPECT_EQ(nullptr, CreateBackgroundBitmap(nullptr, self, dc, kPictureId, &slot));
    EXPECT_EQ(nullptr, CreateBackgroundBitmap(&client, self, dc, kPictureId, nullptr));
    EXPECT_EQ(held, slot);
    // An empty client area: no bitmap, but the picture's palette (none on
    // this display) is in the slot.
    RECT empty = {0, 0, 0, 100};
    EXPECT_EQ(nullptr, CreateBackgroundBitmap(&empty, self, dc, kPictureId, &slot));
    EXPECT_EQ(nullptr, slot);
    EXPECT_EQ(0u, GetObjectType(held));
    held = CreateHalftonePalette(dc);
    slot = held;
    // No such picture: null, and the palette in the slot is deleted.
    EXPECT_EQ(nullptr, CreateBackgroundBitmap(&client, self, dc, 2099, &slot));
    EXPECT_EQ(nullptr, slot);
    EXPECT_EQ(0u, GetObjectType(held));
    ReleaseDC(nullptr, dc);
}

TEST(CreateBackgroundBitmap, HeadersReachingBeyondTheDecodedDataGiveNoPicture)
{
    Bytes fine = EightBitBmp(4, 2, 2);
    Bytes tooManyColours = EightBitBmp(4, 2, 300);
    Bytes tableCut = EightBitBmp(4, 2, 0);
    tableCut.resize(14 + 40 + 500);
    Bytes rowsCut = EightBitBmp(64, 64, 2);
    rowsCut.resize(rowsCut.size() - 1);
    ResourceModule module({{3001, LiteralContainer(fine)},
                           {3002, LiteralContainer(tooManyColours)},
                           {3003, LiteralContainer(tableCut)},
                           {3004, LiteralContainer(rowsCut)}});
    EXPECT_NE(nullptr, Rendered(8, 8, module.Get(), 3001).bitmap);
    for (WORD id : {3002, 3003, 3004}) {
        RECT client = {0, 0, 8, 8};
        HDC dc = GetDC(nullptr);
        HPALETTE slot = CreateHalftonePalette(dc);
        EXPECT_EQ(nullptr, CreateBackgroundBitmap(&client, module.Get(), dc, id, &slot)) << id;
        EXPECT_EQ(nullptr, slot) << id;
        ReleaseDC(nullptr, dc);
    }
}

TEST(GetDisplayColorInfo, ReadsThroughTheSeam)
{
    DisplayColorInfo info = {-1, -1};
    ASSERT_TRUE(GetDisplayColorInfo(&info));
    EXPECT_GT(info.bitsPerPixel, 8);
    EXPECT_EQ(0, info.paletteSize);
    {
        FakeDisplay eight(8, 20, 256, true);
        ASSERT_TRUE(GetDisplayColorInfo(&info));
        EXPECT_EQ(8, info.bitsPerPixel);
        EXPECT_EQ(256, info.paletteSize);
    }
    {
        FakeDisplay four(4, 16, 0, false);
        ASSERT_TRUE(GetDisplayColorInfo(&info));
        EXPECT_EQ(4, info.bitsPerPixel);
        EXPECT_EQ(16, info.paletteSize);
    }
}

TEST(CreateBackgroundBitmap, EightBitDisplayGetsAPopularityPalette)
{
    Decoded d;
    ASSERT_TRUE(d.Read(GetModuleHandleW(nullptr), kPictureId));
    std::set<uint32_t> cells;
    for (int y = 0; y < 325; ++y)
        for (int x = 0; x < 488; ++x) {
            uint32_t c = d.Pixel(x, y);
            cells.insert((c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31));
        }

    FakeDisplay eight(8, 20, 256, true);
    Rendered r(488, 325);
    ASSERT_NE(nullptr, r.bitmap);
    ASSERT_NE(nullptr, r.palette);
    UINT count = GetPaletteEntries(r.palette, 0, 0, nullptr);
    EXPECT_EQ(std::min<size_t>(256, cells.size()), count);
    PALETTEENTRY first = {};
    GetPaletteEntries(r.palette, 0, 1, &first);
    EXPECT_EQ(kField, ToRgb(RGB(first.peRed, first.peGreen, first.peBlue)));   // the most frequent colour
    // The real display has true colour, so the system's stretch keeps every pixel.
    EXPECT_EQ(kField, r.pixels[size_t(324) * 488 + 487]);
    EXPECT_EQ(d.Pixel(70, 70), r.pixels[size_t(70) * 488 + 70]);
}

TEST(CaptureDevicePalette, SixteenColoursAreReadFromTheDisplay)
{
    FakeDisplay four(4, 16, 0, false, kVga);
    HPALETTE palette = nullptr;
    DibColor table[256] = {};
    Bytes map(32768);
    ASSERT_TRUE(CaptureDevicePalette(&palette, table, map.data()));
    ASSERT_NE(nullptr, palette);
    EXPECT_EQ(16u, GetPaletteEntries(palette, 0, 0, nullptr));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(ToRgb(kVga[i]), uint32_t(table[i].red) << 16 | uint32_t(table[i].green) << 8 | table[i].blue) << i;
    DeleteObject(palette);
    // The palette of explicit indices the colours were read through is put
    // out of the screen's context again (before it is deleted): the context
    // gets back the palette it held.
    ASSERT_EQ(2u, FakeDisplay::selections.size());
    EXPECT_EQ(FakeDisplay::selections[0].second, FakeDisplay::selections[1].first);
}

TEST(CaptureDevicePalette, UnprovidedPaletteSizesFail)
{
    FakeDisplay odd(2, 4, 0, false);
    HPALETTE palette = reinterpret_cast<HPALETTE>(1);
    DibColor table[256];
    Bytes map(32768);
    EXPECT_FALSE(CaptureDevicePalette(&palette, table, map.data()));
    EXPECT_EQ(nullptr, palette);
}

TEST(CreateBackgroundBitmap, FourBitDisplayGetsSixteenColoursDithered)
{
    FakeDisplay four(4, 16, 0, false, kVga);
    Rendered r(488, 325);
    ASSERT_NE(nullptr, r.bitmap);
    EXPECT_EQ(nullptr, r.palette);   // a true-colour picture has none here
    std::set<uint32_t> vga;
    for (COLORREF c : kVga) vga.insert(ToRgb(c));
    std::set<uint32_t> used(r.pixels.begin(), r.pixels.end());
    for (uint32_t c : used) EXPECT_TRUE(vga.count(c)) << std::hex << c;
    EXPECT_GT(used.size(), 2u);
    // The field, away from the badge, keeps its colour on average.
    RECT field = {200, 120, 480, 320};
    EXPECT_NEAR(0x1E, Mean(r.pixels, 488, field, 16), 12);
    EXPECT_NEAR(0x6E, Mean(r.pixels, 488, field, 8), 12);
    EXPECT_NEAR(0x32, Mean(r.pixels, 488, field, 0), 12);
}

TEST(CreateBackgroundBitmap, OneBitDisplayGetsBlackAndWhiteDithered)
{
    FakeDisplay one(1, 2, 0, false);
    Rendered r(488, 325);
    ASSERT_NE(nullptr, r.bitmap);
    EXPECT_EQ(nullptr, r.palette);
    std::set<uint32_t> used(r.pixels.begin(), r.pixels.end());
    EXPECT_EQ(std::set<uint32_t>({0x000000, 0xFFFFFF}), used);
    // Grey of the field: (30 + 110 + 50) / 3 = 63, about a quarter white.
    RECT field = {200, 120, 480, 320};
    EXPECT_NEAR(63, Mean(r.pixels, 488, field, 0), 4);
}

}  // namespace
