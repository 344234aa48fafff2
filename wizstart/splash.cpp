// The splash picture in the launch window.
// Not carried yet: the window stays hidden and there is nothing to pause.
#include "launcher.h"

void LaunchDialog::ShowSplash()
{
    ShowWindow(Window(), SW_HIDE);
}

void LaunchDialog::PauseSplash(bool) {}
