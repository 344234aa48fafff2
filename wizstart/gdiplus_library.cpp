// GDI+ bound at run time from the system folder instead of imported. GDI+ is
// not one of the libraries Windows always takes from the system folder, so an
// imported gdiplus.dll would first be looked for beside the launcher, where
// anybody who copied the disc could have put one, and run with the launcher's
// administrator rights.
//
// The flat functions that the GDI+ classes and the launcher call are defined
// here and call through to the system's library, which GdiplusStartup loads.
// Without it every call fails (GdiplusNotInitialized, no memory) and the
// launcher runs without its splash.
#include <windows.h>

#include <gdiplus.h>

#include "framework/system_library.h"

using namespace Gdiplus;

namespace {

enum Slot {
    kGdiplusStartup, kGdiplusShutdown, kGdipAlloc, kGdipFree, kGdipLoadImageFromStreamICM, kGdipCloneImage,
    kGdipDisposeImage, kGdipGetImageWidth, kGdipGetImageHeight, kGdipImageGetFrameDimensionsCount,
    kGdipImageGetFrameDimensionsList, kGdipImageGetFrameCount, kGdipImageSelectActiveFrame,
    kGdipGetPropertyItemSize, kGdipGetPropertyItem, kGdipCreateFromHDC, kGdipDeleteGraphics, kGdipDrawImageRectI,
    kSlotCount
};

// Exported names, in slot order.
const char* const kNames[kSlotCount] = {
    "GdiplusStartup", "GdiplusShutdown", "GdipAlloc", "GdipFree", "GdipLoadImageFromStreamICM", "GdipCloneImage",
    "GdipDisposeImage", "GdipGetImageWidth", "GdipGetImageHeight", "GdipImageGetFrameDimensionsCount",
    "GdipImageGetFrameDimensionsList", "GdipImageGetFrameCount", "GdipImageSelectActiveFrame",
    "GdipGetPropertyItemSize", "GdipGetPropertyItem", "GdipCreateFromHDC", "GdipDeleteGraphics",
    "GdipDrawImageRectI",
};

// Bound once, by the first GdiplusStartup; the library stays loaded until the
// process ends.
FARPROC slots[kSlotCount];

void BindLibrary()
{
    static bool tried = false;
    if (tried) return;
    tried = true;
    HMODULE library = LoadSystemLibrary(L"gdiplus.dll");
    if (!library) return;
    for (int i = 0; i < kSlotCount; ++i) slots[i] = GetProcAddress(library, kNames[i]);
}

// The slot's function, or null when it is not bound.
template <class Function>
Function Bound(Slot slot)
{
    return AsFunction<Function>(slots[slot]);
}

}  // namespace

namespace Gdiplus {

extern "C" {

GpStatus WINGDIPAPI GdiplusStartup(ULONG_PTR* token, GDIPCONST GdiplusStartupInput* input,
                                   GdiplusStartupOutput* output)
{
    BindLibrary();
    auto bound = Bound<decltype(&GdiplusStartup)>(kGdiplusStartup);
    return bound ? bound(token, input, output) : GdiplusNotInitialized;
}

VOID WINGDIPAPI GdiplusShutdown(ULONG_PTR token)
{
    auto bound = Bound<decltype(&GdiplusShutdown)>(kGdiplusShutdown);
    if (bound) bound(token);
}

}  // extern "C"

namespace DllExports {

extern "C" {

VOID* WINGDIPAPI GdipAlloc(size_t size)
{
    auto bound = Bound<decltype(&GdipAlloc)>(kGdipAlloc);
    return bound ? bound(size) : nullptr;
}

VOID WINGDIPAPI GdipFree(VOID* block)
{
    auto bound = Bound<decltype(&GdipFree)>(kGdipFree);
    if (bound) bound(block);
}

GpStatus WINGDIPAPI GdipLoadImageFromStreamICM(IStream* stream, GpImage** image)
{
    auto bound = Bound<decltype(&GdipLoadImageFromStreamICM)>(kGdipLoadImageFromStreamICM);
    return bound ? bound(stream, image) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipCloneImage(GpImage* image, GpImage** clone)
{
    auto bound = Bound<decltype(&GdipCloneImage)>(kGdipCloneImage);
    return bound ? bound(image, clone) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image)
{
    auto bound = Bound<decltype(&GdipDisposeImage)>(kGdipDisposeImage);
    return bound ? bound(image) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width)
{
    auto bound = Bound<decltype(&GdipGetImageWidth)>(kGdipGetImageWidth);
    return bound ? bound(image, width) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height)
{
    auto bound = Bound<decltype(&GdipGetImageHeight)>(kGdipGetImageHeight);
    return bound ? bound(image, height) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipImageGetFrameDimensionsCount(GpImage* image, UINT* count)
{
    auto bound = Bound<decltype(&GdipImageGetFrameDimensionsCount)>(kGdipImageGetFrameDimensionsCount);
    return bound ? bound(image, count) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipImageGetFrameDimensionsList(GpImage* image, GUID* dimensions, UINT count)
{
    auto bound = Bound<decltype(&GdipImageGetFrameDimensionsList)>(kGdipImageGetFrameDimensionsList);
    return bound ? bound(image, dimensions, count) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipImageGetFrameCount(GpImage* image, GDIPCONST GUID* dimension, UINT* count)
{
    auto bound = Bound<decltype(&GdipImageGetFrameCount)>(kGdipImageGetFrameCount);
    return bound ? bound(image, dimension, count) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipImageSelectActiveFrame(GpImage* image, GDIPCONST GUID* dimension, UINT frame)
{
    auto bound = Bound<decltype(&GdipImageSelectActiveFrame)>(kGdipImageSelectActiveFrame);
    return bound ? bound(image, dimension, frame) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipGetPropertyItemSize(GpImage* image, PROPID id, UINT* size)
{
    auto bound = Bound<decltype(&GdipGetPropertyItemSize)>(kGdipGetPropertyItemSize);
    return bound ? bound(image, id, size) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipGetPropertyItem(GpImage* image, PROPID id, UINT size, PropertyItem* item)
{
    auto bound = Bound<decltype(&GdipGetPropertyItem)>(kGdipGetPropertyItem);
    return bound ? bound(image, id, size, item) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipCreateFromHDC(HDC dc, GpGraphics** graphics)
{
    auto bound = Bound<decltype(&GdipCreateFromHDC)>(kGdipCreateFromHDC);
    return bound ? bound(dc, graphics) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics)
{
    auto bound = Bound<decltype(&GdipDeleteGraphics)>(kGdipDeleteGraphics);
    return bound ? bound(graphics) : GdiplusNotInitialized;
}

GpStatus WINGDIPAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height)
{
    auto bound = Bound<decltype(&GdipDrawImageRectI)>(kGdipDrawImageRectI);
    return bound ? bound(graphics, image, x, y, width, height) : GdiplusNotInitialized;
}

}  // extern "C"

}  // namespace DllExports

}  // namespace Gdiplus
