#include "dialog.h"

#include "app.h"

Dialog::Dialog(UINT templateId) : templateId_(templateId), window_(nullptr) {}

Dialog::~Dialog()
{
    DestroyWindow();
}

bool Dialog::CreateModeless(HWND owner)
{
    HWND created = CreateDialogParamW(AppResourceHandle(), MAKEINTRESOURCEW(templateId_), owner,
                                      DialogProc, reinterpret_cast<LPARAM>(this));
    return created != nullptr;
}

void Dialog::DestroyWindow()
{
    if (window_) ::DestroyWindow(window_);
}

BOOL Dialog::OnInitDialog()
{
    return TRUE;
}

bool Dialog::OnPaint()
{
    return false;
}

bool Dialog::OnEraseBackground(HDC, LRESULT*)
{
    return false;
}

HICON Dialog::OnQueryDragIcon()
{
    return nullptr;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT*)
{
    return false;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->window_ = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!self) return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT)
    INT_PTR handled = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return handled;
}

// Dialog procedure convention: FALSE hands the message to the default dialog
// handling; TRUE means handled, with the result in DWLP_MSGRESULT. WM_INITDIALOG
// and WM_QUERYDRAGICON return their result directly.
INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_PAINT:
        return OnPaint() ? TRUE : FALSE;
    case WM_ERASEBKGND:
        if (!OnEraseBackground(reinterpret_cast<HDC>(wParam), &result)) return FALSE;
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
    default:
        if (!OnMessage(message, wParam, lParam, &result)) return FALSE;
        break;
    }
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
    return TRUE;
}
