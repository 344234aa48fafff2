// A dialog window created from a template in the program's resources, with
// one overridable handler per message that the programs care about. Whatever
// a handler leaves alone gets the system's default dialog handling.
#pragma once

#include <windows.h>

class Dialog {
public:
    explicit Dialog(UINT templateId);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the window without a modal loop. WM_INITDIALOG has been handled,
    // to its end, when this returns. Returns whether the window exists.
    bool CreateModeless(HWND owner);
    void DestroyWindow();
    HWND Window() const { return window_; }

protected:
    // WM_INITDIALOG. The default initialisation; TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    // WM_PAINT. Return false for the default painting.
    virtual bool OnPaint();
    // WM_ERASEBKGND. Return false for the default erasing; otherwise *result
    // is the message's result.
    virtual bool OnEraseBackground(HDC dc, LRESULT* result);
    // WM_QUERYDRAGICON. Null for the default.
    virtual HICON OnQueryDragIcon();
    // Any other message. Return true when handled, with *result as its result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND window_;
};
