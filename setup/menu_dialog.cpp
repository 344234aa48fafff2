// Interim menu: the dialog as its template stands, without the background
// picture, the drawn labels and help texts or the hover highlight, which are
// still to come. Its icon buttons choose entries, so the menu already works.
#include "menu_dialog.h"

#include "config.h"
#include "resource.h"
#include "startup.h"

namespace {

// Entries 2 to 6 appear only with both a label and a command.
bool EntryPresent(int index)
{
    const MenuEntry& entry = menuConfig.entries[index];
    return index == 0 || (entry.label[0] && entry.command[0]);
}

void OpenMenu(HWND dialog)
{
    SetWindowTextA(dialog, menuConfig.title);
    HICON appIcon = LoadIconA(moduleInstance, MAKEINTRESOURCEA(IDI_APP));
    if (appIcon) SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    const int buttons[] = {IDC_ENTRY1, IDC_ENTRY2, IDC_ENTRY3, IDC_ENTRY4, IDC_ENTRY5, IDC_ENTRY6, IDC_BROWSE, IDC_EXIT};
    const int icons[] = {IDI_ENTRY1, IDI_ENTRY2, IDI_ENTRY3, IDI_ENTRY4, IDI_ENTRY5, IDI_ENTRY6, IDI_BROWSE, IDI_EXIT};
    for (int i = 0; i < 8; ++i) {
        HWND button = GetDlgItem(dialog, buttons[i]);
        HICON icon = LoadIconA(moduleInstance, MAKEINTRESOURCEA(icons[i]));
        if (icon) SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        if (i < kEntryCount && !EntryPresent(i)) {
            EnableWindow(button, FALSE);
            ShowWindow(button, SW_HIDE);
        }
    }
    SetFocus(GetDlgItem(dialog, IDC_FOCUS_SINK));
}

// Entries end the menu, or start their program while it stays open; the
// browse entry likewise; the exit entry ends it. Esc (IDCANCEL) is ignored.
BOOL Command(HWND dialog, int id)
{
    if (id >= IDC_ENTRY1 && id <= IDC_ENTRY6) {
        if (!menuConfig.exitAfterCall) {
            LaunchMenuEntry(id - IDD_MENU, programFolder);
            return FALSE;
        }
    } else if (id == IDC_BROWSE) {
        if (!menuConfig.closeAfterBrowse) {
            BrowseDisc(programFolder);
            return FALSE;
        }
    } else if (id != IDC_EXIT) {
        return FALSE;
    }
    EndDialog(dialog, id);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK MenuDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OpenMenu(dialog);
        return FALSE;  // the focus is set
    case WM_COMMAND:
        return Command(dialog, LOWORD(wParam));
    }
    return FALSE;
}
