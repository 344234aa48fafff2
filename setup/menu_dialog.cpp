#include "menu_dialog.h"

#include <windowsx.h>

#include "config.h"
#include "fonts.h"
#include "resource.h"
#include "setup/graphics/graphics.h"
#include "startup.h"
#include "text_buttons.h"

namespace {

// The menu's state; one menu at a time.
HBITMAP background;
HPALETTE backgroundPalette;
HCURSOR entryCursor;
int pressedControl = -1;

// The drawn controls are IDC_ENTRY1 + i and their icons IDI_ENTRY1 + i, for
// i = 0 to 7: six entries, then browse and exit.
static_assert(IDC_EXIT - IDC_ENTRY1 == kDrawnControls - 1 && IDI_EXIT - IDI_ENTRY1 == kDrawnControls - 1,
              "drawn controls and their icons are numbered in one run");

// Entry 1 always; entries 2 to 6 with both a label and a command.
bool EntryPresent(int index)
{
    const MenuEntry& entry = menuConfig.entries[index];
    return index == 0 || (entry.label[0] && entry.command[0]);
}

bool Contains(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x <= rect.right && point.y >= rect.top && point.y <= rect.bottom;
}

bool LabelHit(int controlId, POINT point)
{
    const EntryTextRects* rects = EntryRectsOf(controlId);
    return rects->labelRecorded && Contains(rects->label, point);
}

HCURSOR ArrowCursor()
{
    return LoadCursorW(nullptr, IDC_ARROW);
}

// Every button of the class had the same procedure before.
void InstallButtonProc(HWND button)
{
    classButtonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EntryButtonProc)));
}

void ReleaseBackground()
{
    if (background) DeleteObject(background);
    if (backgroundPalette) DeleteObject(backgroundPalette);
    background = nullptr;
    backgroundPalette = nullptr;
}

void OpenMenu(HWND dialog)
{
    // Centred horizontally, a quarter of the free height from the top.
    RECT window;
    GetWindowRect(dialog, &window);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 4;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);

    SetWindowTextA(dialog, menuConfig.title);
    HICON appIcon = LoadIconA(moduleInstance, MAKEINTRESOURCEA(IDI_APP));
    if (appIcon) SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    ReleaseBackground();
    if (HDC dc = GetDC(dialog)) {
        RECT client;
        GetClientRect(dialog, &client);
        background = CreateBackgroundBitmap(&client, moduleInstance, dc, IDR_BACKGROUND, &backgroundPalette);
        ReleaseDC(dialog, dc);
        InvalidateRect(dialog, nullptr, FALSE);
    }

    HWND first = GetDlgItem(dialog, IDC_ENTRY1);
    RECT firstRect;
    GetWindowRect(first, &firstRect);
    SizeMenuFonts(firstRect);

    // A new menu lays its texts out afresh.
    entryHitRects = EntryHitRects();
    pressedControl = -1;
    entryCursor = LoadCursorA(moduleInstance, MAKEINTRESOURCEA(IDC_ENTRY_CURSOR));
    SetCursor(ArrowCursor());

    // Absent entries are hidden; the others are moved out of sight: their
    // buttons only anchor the texts and carry the focus.
    for (int i = 0; i < kDrawnControls; ++i) {
        HWND button = GetDlgItem(dialog, IDC_ENTRY1 + i);
        SetEntryButtonIcon(button, IDI_ENTRY1 + i);
        if (i < kEntryCount && !EntryPresent(i)) {
            EnableWindow(button, FALSE);
            ShowWindow(button, SW_HIDE);
        } else {
            InstallButtonProc(button);
        }
        RECT rect = ButtonRect(button);
        MoveWindow(button, rect.left + kButtonOffset, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    }
    HWND sink = GetDlgItem(dialog, IDC_FOCUS_SINK);
    InstallButtonProc(sink);
    SetFocus(sink);
}

void PaintMenu(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    if (!dc) return;
    if (backgroundPalette) {
        SelectPalette(dc, backgroundPalette, GetActiveWindow() != dialog);
        RealizePalette(dc);
    }
    if (background) {
        if (HDC memory = CreateCompatibleDC(dc)) {
            HGDIOBJ keptBitmap = SelectObject(memory, background);
            HPALETTE keptPalette = nullptr;
            if (backgroundPalette) {
                keptPalette = SelectPalette(memory, backgroundPalette, TRUE);
                RealizePalette(memory);
            }
            BitBlt(dc, 0, 0, client.right - client.left, client.bottom - client.top, memory, 0, 0, SRCCOPY);
            if (keptPalette) SelectPalette(memory, keptPalette, TRUE);
            SelectObject(memory, keptBitmap);
            DeleteDC(memory);
        }
    }
    if (backgroundPalette) SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), TRUE);

    for (int i = 0; i < kDrawnControls; ++i)
        if (i >= kEntryCount || EntryPresent(i)) DrawEntryLabel(dc, GetDlgItem(dialog, IDC_ENTRY1 + i));
    EndPaint(dialog, &paint);
}

// The entry under the mouse takes the focus (and so the highlight) and shows
// the entry cursor; elsewhere the focus sink and the arrow.
void FollowMouse(HWND dialog)
{
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(dialog, &point);
    int hit = HitTestMenu(point);
    HCURSOR cursor = hit && entryCursor ? entryCursor : ArrowCursor();
    SetCursor(cursor);
    HWND target = GetDlgItem(dialog, hit ? hit : IDC_FOCUS_SINK);
    if (GetFocus() != target) SetFocus(target);
}

int HitAt(LPARAM lParam)
{
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return HitTestMenu(point);
}

// Ends the menu with `id`; its background goes with it.
BOOL EndMenu(HWND dialog, int id)
{
    EndDialog(dialog, id);
    ReleaseBackground();
    return TRUE;
}

BOOL Command(HWND dialog, int id)
{
    if (id >= IDC_ENTRY1 && id <= IDC_ENTRY6) {
        if (menuConfig.exitAfterCall) return EndMenu(dialog, id);
        LaunchMenuEntry(id - IDD_MENU, programFolder);
    } else if (id == IDC_BROWSE) {
        if (menuConfig.closeAfterBrowse) return EndMenu(dialog, id);
        BrowseDisc(programFolder);
    } else if (id == IDC_EXIT) {
        return EndMenu(dialog, id);
    }
    // Anything else, the cancel command of the Esc key too, is ignored.
    return FALSE;
}

}  // namespace

int HitTestMenu(POINT point)
{
    for (int i = 0; i < kEntryCount; ++i) {
        if (!EntryPresent(i)) continue;
        const EntryTextRects* rects = EntryRectsOf(IDC_ENTRY1 + i);
        const MenuRect& icon = menuConfig.entries[i].iconRect;
        RECT iconRect = {LONG(icon.left), LONG(icon.top), LONG(icon.right), LONG(icon.bottom)};
        if (LabelHit(IDC_ENTRY1 + i, point) || (rects->helpRecorded && Contains(rects->help, point)) ||
            (icon.right != icon.left && Contains(iconRect, point)))
            return IDC_ENTRY1 + i;
    }
    if (LabelHit(IDC_BROWSE, point)) return IDC_BROWSE;
    if (LabelHit(IDC_EXIT, point)) return IDC_EXIT;
    return 0;
}

INT_PTR CALLBACK MenuDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OpenMenu(dialog);
        return FALSE;  // the focus is on the sink already
    case WM_PAINT:
        PaintMenu(dialog);
        return FALSE;
    case WM_ERASEBKGND:
        return TRUE;  // the paint covers the whole client area
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != dialog) InvalidateRect(dialog, nullptr, FALSE);
        return FALSE;
    case WM_ACTIVATEAPP:
        InvalidateRect(dialog, nullptr, FALSE);
        return FALSE;
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
        FollowMouse(dialog);
        return TRUE;
    case WM_LBUTTONDOWN:
        pressedControl = -1;
        if (int hit = HitAt(lParam)) pressedControl = hit;
        return FALSE;
    case WM_LBUTTONUP: {
        // A release counts only after a press on the same entry; each press
        // counts once, so a lone release never runs a command.
        int hit = HitAt(lParam);
        if (hit && hit == pressedControl) SendMessageA(dialog, WM_COMMAND, WPARAM(hit), 0);
        pressedControl = -1;
        return TRUE;
    }
    case WM_COMMAND:
        return Command(dialog, LOWORD(wParam));
    case WM_DESTROY:
        ReleaseBackground();
        return FALSE;
    }
    return FALSE;
}
