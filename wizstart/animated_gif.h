// The splash picture: a GIF carried in the program's resources, decoded by
// GDI+, and animated on a thread of its own straight into a window.
#pragma once

#include <windows.h>

#include <objidl.h>
#include <gdiplus.h>

class AnimatedGif : public Gdiplus::Image {
public:
    // Reads resource `name` of type `type` from the application's resource
    // module. GDI+ must be running. The object is loaded or not; see IsLoaded.
    AnimatedGif(const wchar_t* type, const wchar_t* name);
    // Ends the animation and releases everything, the image last.
    ~AnimatedGif() override;

    // The GDI+ allocator, reporting failure as null rather than constructing
    // over it (the programs are built without exceptions).
    static void* operator new(size_t size) noexcept { return Gdiplus::GdiplusBase::operator new(size); }
    static void operator delete(void* block) { Gdiplus::GdiplusBase::operator delete(block); }

    // Starts painting the frames into `window`'s client area at (x, y), when the
    // picture has more than one frame and no animation has been started yet.
    void BeginAnimation(HWND window, int x, int y);
    // Holds (true) or continues (false) the animation; the frame on screen stays.
    void PauseAnimation(bool paused);
    // Stops and joins the thread and releases the animation's resources.
    void EndAnimation();

    bool IsLoaded() const { return loaded_; }
    bool IsAnimating() const { return thread_ != nullptr; }
    bool IsPaused() const { return paused_; }
    UINT FrameCount() const { return frameCount_; }
    // Delay of `frame` in hundredths of a second; 0 when the picture names none.
    UINT FrameDelay(UINT frame) const;

private:
    AnimatedGif(HMODULE module, IStream* stream);
    // The resource's bytes in an in-memory stream, or null.
    static IStream* LoadResourceStream(HMODULE module, const wchar_t* type, const wchar_t* name);
    static bool ReadResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type, void* buffer,
                                  DWORD* size);
    static IStream* CreateStreamFromBytes(const void* bytes, DWORD size);
    void ReadFrameInfo();

    static unsigned __stdcall RunAnimation(void* object);
    bool ShowFrameAndWait();
    void SaveBackground(HDC windowDc, int width, int height);
    void ReleaseBackground();

    IStream* stream_;
    HANDLE thread_;
    HANDLE runGate_;      // signalled: running; reset: paused
    HANDLE stopEvent_;    // signalled: the thread must end
    HMODULE resourceModule_;
    HWND targetWindow_;
    UINT frameCount_;
    UINT frameIndex_;     // the frame painted next
    bool loaded_;
    bool paused_;
    Gdiplus::PropertyItem* frameDelays_;   // PropertyTagFrameDelay, malloc'd
    int originX_;
    int originY_;
    HBITMAP background_;        // window content under the picture
    HBITMAP previousBitmap_;
    HDC memoryDc_;
};
