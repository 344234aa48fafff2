// The splash picture in the launch window: the window takes the picture's size,
// sits centred on the screen, and the picture animates in it on its own thread.
#include "launcher.h"

#include "animated_gif.h"

void LaunchDialog::ShowSplash()
{
    HWND window = Window();
    splash = new AnimatedGif(L"GIF", L"ARCHIVE");
    if (!splash) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    // A query that fails leaves 0 (and its status with the picture).
    UINT height = splash->GetHeight();
    UINT width = splash->GetWidth();
    MoveWindow(window, 0, 0, int(width), int(height), TRUE);
    CenterOnScreen();
    splash->BeginAnimation(window, 0, 0);
    ShowWindow(window, SW_SHOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void LaunchDialog::PauseSplash(bool pause)
{
    if (splash) splash->PauseAnimation(pause);
}
