// The menu window (dialog IDD_MENU). Its result is the chosen control:
// IDC_ENTRY1 to IDC_ENTRY6, IDC_BROWSE or IDC_EXIT.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MenuDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
