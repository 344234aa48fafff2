#include "animated_gif.h"

#include <process.h>
#include <stdlib.h>

#include "framework/app.h"
#include "framework/guards.h"

namespace {

// GDI+ names for what the mingw-w64 headers leave out.
const GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
const PROPID kPropertyTagFrameDelay = 0x5100;
const WORD kPropertyTagTypeLong = 4;

// Every frame stays at least this long, whatever the picture's delays say.
const DWORD kFramePauseMs = 60;

}  // namespace

// The wrapper keeps its image handle to itself and fills it only in its own
// constructor, so the stream is made first and handed down. A missing stream
// makes the decoder fail with InvalidParameter, the wrapper's initial status.
AnimatedGif::AnimatedGif(const wchar_t* type, const wchar_t* name)
    : AnimatedGif(AppResourceHandle(), LoadResourceStream(AppResourceHandle(), type, name))
{
}

AnimatedGif::AnimatedGif(HMODULE module, IStream* stream)
    : Gdiplus::Image(stream, TRUE),
      stream_(stream),
      thread_(nullptr),
      runGate_(CreateEventW(nullptr, TRUE, TRUE, nullptr)),
      stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      resourceModule_(module),
      targetWindow_(nullptr),
      frameCount_(0),
      frameIndex_(0),
      loaded_(stream != nullptr),
      paused_(false),
      frameDelays_(nullptr),
      originX_(0),
      originY_(0),
      background_(nullptr),
      previousBitmap_(nullptr),
      memoryDc_(nullptr)
{
    if (loaded_) ReadFrameInfo();
}

AnimatedGif::~AnimatedGif()
{
    EndAnimation();
}

IStream* AnimatedGif::LoadResourceStream(HMODULE module, const wchar_t* type, const wchar_t* name)
{
    DWORD size = 0;
    if (!ReadResourceBytes(module, name, type, nullptr, &size) || size == 0) return nullptr;
    ScopedHeapBlock bytes(HeapAlloc(GetProcessHeap(), 0, size));
    if (!bytes.Valid() || !ReadResourceBytes(module, name, type, bytes.Get(), &size)) return nullptr;
    return CreateStreamFromBytes(bytes.Get(), size);
}

// Without a buffer: reports the resource's size. With one: copies the resource
// into it when it fits, and reports the size copied.
bool AnimatedGif::ReadResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type, void* buffer,
                                    DWORD* size)
{
    HRSRC found = FindResourceW(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    bool ok = false;
    if (bytes) {
        DWORD actual = SizeofResource(module, found);
        if (!buffer) {
            ok = true;
        } else if (*size >= actual) {
            CopyMemory(buffer, bytes, actual);
            ok = true;
        }
        if (ok) *size = actual;
    }
    if (loaded) FreeResource(loaded);
    return ok;
}

// A stream over a movable global block holding a copy of the bytes; the block
// goes with the stream.
IStream* AnimatedGif::CreateStreamFromBytes(const void* bytes, DWORD size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return nullptr;
    void* data = GlobalLock(block);
    if (!data) {
        GlobalFree(block);
        return nullptr;
    }
    CopyMemory(data, bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK) {
        GlobalFree(block);
        return nullptr;
    }
    return stream;
}

// Frame count of the first frame dimension (time, for a GIF) and the delay item.
// Failing calls leave their status with the wrapper and change nothing else.
void AnimatedGif::ReadFrameInfo()
{
    UINT dimensions = GetFrameDimensionsCount();
    GUID* ids = dimensions ? static_cast<GUID*>(malloc(dimensions * sizeof(GUID))) : nullptr;
    if (ids && GetFrameDimensionsList(ids, dimensions) == Gdiplus::Ok) frameCount_ = GetFrameCount(&ids[0]);
    free(ids);

    UINT size = GetPropertyItemSize(kPropertyTagFrameDelay);
    if (size >= sizeof(Gdiplus::PropertyItem)) {
        frameDelays_ = static_cast<Gdiplus::PropertyItem*>(malloc(size));
        if (frameDelays_ && GetPropertyItem(kPropertyTagFrameDelay, size, frameDelays_) != Gdiplus::Ok) {
            free(frameDelays_);
            frameDelays_ = nullptr;
        }
    }
}

// The delay item may be missing, or list fewer delays than there are frames;
// a frame without a delay of its own gets 0.
UINT AnimatedGif::FrameDelay(UINT frame) const
{
    if (!frameDelays_ || frameDelays_->type != kPropertyTagTypeLong || !frameDelays_->value) return 0;
    if (frame >= frameDelays_->length / sizeof(UINT)) return 0;
    return static_cast<const UINT*>(frameDelays_->value)[frame];
}

void AnimatedGif::BeginAnimation(HWND window, int x, int y)
{
    // A running thread keeps its window, origin and background.
    if (!loaded_ || frameCount_ <= 1 || thread_ || !runGate_ || !stopEvent_) return;
    ReleaseBackground();
    targetWindow_ = window;
    originX_ = x;
    originY_ = y;
    // Suspended until the handle is stored, so the owner never sees a thread it has no handle for.
    uintptr_t thread = _beginthreadex(nullptr, 0, RunAnimation, this, CREATE_SUSPENDED, nullptr);
    if (!thread) return;
    thread_ = reinterpret_cast<HANDLE>(thread);
    ResumeThread(thread_);
}

void AnimatedGif::PauseAnimation(bool paused)
{
    if (frameCount_ <= 1) return;
    if (paused && !paused_)
        ResetEvent(runGate_);
    else if (!paused && paused_)
        SetEvent(runGate_);
    paused_ = paused;
}

void AnimatedGif::EndAnimation()
{
    if (thread_) {
        // A paused thread must get through its gate to see the stop event.
        PauseAnimation(false);
        SetEvent(stopEvent_);
        WaitForSingleObject(thread_, INFINITE);
    }
    HANDLE handles[] = {thread_, stopEvent_, runGate_};
    for (HANDLE h : handles)
        if (h) CloseHandle(h);
    thread_ = stopEvent_ = runGate_ = nullptr;
    free(frameDelays_);
    frameDelays_ = nullptr;
    ReleaseBackground();
    if (stream_) stream_->Release();
    stream_ = nullptr;
}

unsigned __stdcall AnimatedGif::RunAnimation(void* object)
{
    AnimatedGif* gif = static_cast<AnimatedGif*>(object);
    gif->frameIndex_ = 0;
    while (!gif->ShowFrameAndWait()) {
    }
    return 0;
}

// Paints the next frame over the saved background, holds it for the fixed pause
// and its own delay, and selects the frame after it. True: the thread must end.
bool AnimatedGif::ShowFrameAndWait()
{
    WaitForSingleObject(runGate_, INFINITE);

    int width = int(GetWidth());
    int height = int(GetHeight());
    HDC dc = GetDC(targetWindow_);
    if (dc) {
        // The background is taken once, from the first frame the window lets us paint.
        if (!memoryDc_) SaveBackground(dc, width, height);
        // Restoring it first keeps transparent parts of a frame from showing the one before.
        if (memoryDc_) BitBlt(dc, originX_, originY_, width, height, memoryDc_, 0, 0, SRCCOPY);
        {
            Gdiplus::Graphics graphics(dc);
            graphics.DrawImage(this, originX_, originY_, width, height);
        }
        ReleaseDC(targetWindow_, dc);
    }

    DWORD start = GetTickCount();
    for (DWORD passed; (passed = GetTickCount() - start) < kFramePauseMs;)
        Sleep(kFramePauseMs - passed);

    UINT shown = frameIndex_;
    frameIndex_ = (shown + 1) % frameCount_;
    SelectActiveFrame(&kFrameDimensionTime, frameIndex_);
    return WaitForSingleObject(stopEvent_, FrameDelay(shown) * 10) == WAIT_OBJECT_0;
}

void AnimatedGif::SaveBackground(HDC windowDc, int width, int height)
{
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(windowDc, width, height) : nullptr;
    if (!bitmap) {
        if (memory) DeleteDC(memory);
        return;
    }
    memoryDc_ = memory;
    background_ = bitmap;
    previousBitmap_ = static_cast<HBITMAP>(SelectObject(memory, bitmap));
    BitBlt(memory, 0, 0, width, height, windowDc, originX_, originY_, SRCCOPY);
}

void AnimatedGif::ReleaseBackground()
{
    if (memoryDc_) {
        if (previousBitmap_) SelectObject(memoryDc_, previousBitmap_);
        DeleteDC(memoryDc_);
    }
    if (background_) DeleteObject(background_);
    memoryDc_ = nullptr;
    background_ = nullptr;
    previousBitmap_ = nullptr;
}
