// The splash picture: loading from the resources, frame count and delays, and
// the animation thread painting into a window of the test's own, observed
// through the window's pixels.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "splash_support.h"
#include "wizstart/animated_gif.h"

namespace {

class AnimatedGifTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gdiplus = new GdiplusSession(); }
    static void TearDownTestSuite()
    {
        delete gdiplus;
        gdiplus = nullptr;
    }
    static GdiplusSession* gdiplus;
};
GdiplusSession* AnimatedGifTest::gdiplus = nullptr;

std::unique_ptr<AnimatedGif> Load(const wchar_t* name)
{
    return std::unique_ptr<AnimatedGif>(new AnimatedGif(L"GIF", name));
}

std::string Describe(const std::vector<Showing>& frames)
{
    std::string text;
    for (const Showing& s : frames)
        text += " frame " + std::to_string(FrameOfColour(s.colour)) + " at " + std::to_string(int(s.startMs)) + " ms;";
    return text;
}

// Ends the animation on a thread of its own; the milliseconds it took, or -1
// when it had not returned after ten seconds.
long TimeEndAnimation(AnimatedGif* gif)
{
    struct Call {
        static DWORD WINAPI Run(void* p)
        {
            static_cast<AnimatedGif*>(p)->EndAnimation();
            return 0;
        }
    };
    DWORD start = GetTickCount();
    HANDLE thread = CreateThread(nullptr, 0, Call::Run, gif, 0, nullptr);
    bool ended = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    long took = long(GetTickCount() - start);
    CloseHandle(thread);
    return ended ? took : -1;
}

TEST_F(AnimatedGifTest, ReadsSizeFrameCountAndDelays)
{
    const struct {
        const wchar_t* name;
        UINT width, height, frames;
        std::vector<UINT> delays;   // empty: not checked
    } cases[] = {
        {L"ARCHIVE", 60, 40, 3, {10, 20, 30}},
        {L"SINGLE", 30, 20, 1, {}},  // Wine keeps no delay item for a single frame
        {L"NODELAY", 20, 20, 3, {0, 0, 0}},  // no delays in the picture
    };
    for (const auto& c : cases) {
        auto gif = Load(c.name);
        ASSERT_TRUE(gif) << c.name;
        EXPECT_TRUE(gif->IsLoaded()) << c.name;
        if (!c.delays.empty()) {
            EXPECT_EQ(Gdiplus::Ok, gif->GetLastStatus()) << c.name;
        }
        EXPECT_EQ(c.width, gif->GetWidth()) << c.name;
        EXPECT_EQ(c.height, gif->GetHeight()) << c.name;
        EXPECT_EQ(c.frames, gif->FrameCount()) << c.name;
        for (UINT i = 0; i < c.delays.size(); ++i) EXPECT_EQ(c.delays[i], gif->FrameDelay(i)) << c.name << " frame " << i;
        EXPECT_EQ(0u, gif->FrameDelay(c.frames)) << c.name << ": past the last frame";
        EXPECT_FALSE(gif->IsAnimating());
        // Deleted here without an animation: nothing to wait for.
    }
}

TEST_F(AnimatedGifTest, MissingEmptyOrUndecodablePictureNeverAnimates)
{
    const struct {
        const wchar_t* name;
        bool loaded;   // the bytes made a stream
    } cases[] = {
        {L"MISSING", false},
        {L"EMPTY", false},
        {L"BROKEN", true},
    };
    TestWindow window(100, 80);
    for (const auto& c : cases) {
        auto gif = Load(c.name);
        ASSERT_TRUE(gif) << c.name;
        EXPECT_EQ(c.loaded, gif->IsLoaded()) << c.name;
        Gdiplus::Status status = gif->GetLastStatus();
        EXPECT_NE(Gdiplus::Ok, status) << c.name;
        if (!c.loaded) {
            EXPECT_EQ(Gdiplus::InvalidParameter, status) << c.name << ": the initial status";
        }
        EXPECT_EQ(0u, gif->FrameCount()) << c.name;
        EXPECT_EQ(0u, gif->GetWidth()) << c.name;
        EXPECT_EQ(0u, gif->FrameDelay(0)) << c.name;
        gif->BeginAnimation(window.Handle(), 0, 0);
        EXPECT_FALSE(gif->IsAnimating()) << c.name;
    }
}

TEST_F(AnimatedGifTest, SingleFrameStartsNoThreadDrawsNothingAndIgnoresPause)
{
    TestWindow window(100, 80);
    auto gif = Load(L"SINGLE");
    gif->BeginAnimation(window.Handle(), 10, 10);
    EXPECT_FALSE(gif->IsAnimating());
    gif->PauseAnimation(true);
    EXPECT_FALSE(gif->IsPaused());
    std::vector<Showing> seen = WatchPoint(window.Handle(), 25, 20, 300);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(kWindowColour, seen[0].colour);
}

// Frame i stays for 60 ms plus its own delay; the frames come in order from
// frame 0 and start again after the last.
TEST_F(AnimatedGifTest, ShowsFramesInOrderEachForItsPauseAndDelay)
{
    const struct {
        const wchar_t* name;
        int centreX, centreY;
        double minimumMs[3];
    } cases[] = {
        {L"ARCHIVE", 30, 20, {160, 260, 360}},
        {L"NODELAY", 10, 10, {60, 60, 60}},
    };
    for (const auto& c : cases) {
        TestWindow window(100, 80);
        auto gif = Load(c.name);
        gif->BeginAnimation(window.Handle(), 10, 10);
        ASSERT_TRUE(gif->IsAnimating()) << c.name;
        std::vector<Showing> frames = FramesOnly(WatchPoint(window.Handle(), 10 + c.centreX, 10 + c.centreY, 2700));
        gif->EndAnimation();

        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)) + ":" + Describe(frames));
        ASSERT_GE(frames.size(), 7u);
        for (size_t i = 0; i < frames.size(); ++i) ASSERT_EQ(int(i % 3), FrameOfColour(frames[i].colour)) << i;
        // The last showing was cut short by the end of watching.
        for (size_t i = 0; i + 1 < frames.size(); ++i) {
            double shown = frames[i + 1].startMs - frames[i].startMs;
            double minimum = c.minimumMs[i % 3];
            EXPECT_GE(shown, minimum - 12) << "showing " << i;
            EXPECT_LE(shown, minimum + 700) << "showing " << i;
        }
    }
}

// Frame 1 is transparent on its left: there the window's own content shows,
// as it was before the animation, not frame 0.
TEST_F(AnimatedGifTest, RestoresTheBackgroundBeforeEveryFrame)
{
    TestWindow window(100, 80);
    auto gif = Load(L"HOLES");
    gif->BeginAnimation(window.Handle(), 10, 10);
    ASSERT_TRUE(WaitForColour(window.Handle(), 10 + 30, 20, RGB(255, 0, 0), 3000)) << "frame 0";
    ASSERT_TRUE(WaitForColour(window.Handle(), 10 + 30, 20, RGB(0, 255, 0), 3000)) << "frame 1";
    HDC dc = GetDC(window.Handle());
    EXPECT_EQ(kWindowColour, GetPixel(dc, 10 + 5, 20)) << "left half of frame 1";
    ReleaseDC(window.Handle(), dc);
    gif->EndAnimation();
}

TEST_F(AnimatedGifTest, PauseHoldsTheFrameAndResumeContinuesWithTheNext)
{
    TestWindow window(100, 80);
    HWND w = window.Handle();
    auto gif = Load(L"ARCHIVE");
    gif->BeginAnimation(w, 10, 10);
    ASSERT_TRUE(WaitForColour(w, 40, 30, kFrameColours[1], 3000));

    gif->PauseAnimation(true);
    EXPECT_TRUE(gif->IsPaused());
    std::vector<Showing> held = FramesOnly(WatchPoint(w, 40, 30, 900));
    ASSERT_EQ(1u, held.size()) << Describe(held);
    EXPECT_EQ(1, FrameOfColour(held[0].colour));

    // A second pause changes nothing: one resume is enough.
    gif->PauseAnimation(true);
    EXPECT_EQ(1u, FramesOnly(WatchPoint(w, 40, 30, 300)).size());
    gif->PauseAnimation(false);
    EXPECT_FALSE(gif->IsPaused());
    gif->PauseAnimation(false);  // resuming a running animation changes nothing
    std::vector<Showing> resumed = FramesOnly(WatchPoint(w, 40, 30, 1200));
    // Frame 2 may already be there when watching begins.
    if (!resumed.empty() && FrameOfColour(resumed[0].colour) == 1) resumed.erase(resumed.begin());
    ASSERT_GE(resumed.size(), 2u) << Describe(resumed);
    EXPECT_EQ(2, FrameOfColour(resumed[0].colour)) << Describe(resumed);
    EXPECT_LE(resumed[0].startMs, 500) << "the next frame comes at once";
    EXPECT_EQ(0, FrameOfColour(resumed[1].colour)) << Describe(resumed);
    gif->EndAnimation();
}

// The stop event cuts a frame's delay short; a paused thread is let through
// its gate, paints one more frame and stops after the fixed pause.
TEST_F(AnimatedGifTest, EndAnimationReturnsWithinOneFramePause)
{
    const struct {
        const wchar_t* name;
        bool pauseFirst;
    } cases[] = {
        {L"SLOW", false},    // delays of 5 s
        {L"ARCHIVE", true},  // blocked at the gate
    };
    for (const auto& c : cases) {
        TestWindow window(100, 80);
        auto gif = Load(c.name);
        gif->BeginAnimation(window.Handle(), 10, 10);
        ASSERT_TRUE(WaitForColour(window.Handle(), 20, 20, kFrameColours[0], 3000));
        if (c.pauseFirst) {
            gif->PauseAnimation(true);
            PumpMessages(600);  // past frame 0's time: the thread waits at the gate
        }
        long took = TimeEndAnimation(gif.get());
        EXPECT_GE(took, 0) << "EndAnimation did not return";
        EXPECT_LE(took, 1500);
        EXPECT_FALSE(gif->IsAnimating());
        if (took < 0) {
            gif.release();  // still in use by the stuck call
            continue;
        }
        gif->BeginAnimation(window.Handle(), 10, 10);
        EXPECT_FALSE(gif->IsAnimating()) << "an ended animation does not start again";
    }
}

}  // namespace
