// The menu window (dialog IDD_MENU): the background picture, the drawn
// entries, the highlight that follows the mouse, and clicks turned into
// commands. Its result is the chosen control: IDC_ENTRY1 to IDC_ENTRY6,
// IDC_BROWSE or IDC_EXIT.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MenuDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The control whose label, help text or icon rectangle holds `point` (client
// coordinates, edges included), or 0 when there is none.
int HitTestMenu(POINT point);
