#include "text_buttons.h"

#include "config.h"
#include "fonts.h"
#include "resource.h"
#include "startup.h"

EntryHitRects entryHitRects;
WNDPROC classButtonProc;

namespace {

const UINT kLabelFlags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
const UINT kHelpFlags = DT_VCENTER | DT_NOPREFIX;

// The colour is palette-relative, so that palette displays match it through
// the palette selected into the context.
void DrawInColor(HDC dc, const char* text, RECT area, UINT flags, const ColorSpec& color)
{
    SetTextColor(dc, PALETTERGB(color.red, color.green, color.blue));
    DrawTextA(dc, text, -1, &area, flags);
}

// Narrows the area to the text's width, keeping the edge the text is aligned to.
void FitWidth(RECT* area, int width, bool left)
{
    if (left)
        area->right = area->left + width;
    else
        area->left = area->right - width;
}

// A text's rectangle is kept from its first drawing on.
void Record(RECT* rect, bool* recorded, const RECT& area)
{
    if (*recorded) return;
    *rect = area;
    *recorded = true;
}

// The texts of a drawn control; false for any other window.
bool EntryTexts(int controlId, const char** label, const char** help)
{
    *help = nullptr;
    if (controlId >= IDC_ENTRY1 && controlId <= IDC_ENTRY6) {
        const MenuEntry& entry = menuConfig.entries[controlId - IDC_ENTRY1];
        *label = entry.label;
        *help = entry.help;
    } else if (controlId == IDC_BROWSE) {
        *label = menuConfig.browseLabel;
    } else if (controlId == IDC_EXIT) {
        *label = menuConfig.exitLabel;
    } else {
        return false;
    }
    return true;
}

}  // namespace

EntryTextRects* EntryRectsOf(int controlId)
{
    if (controlId < IDC_ENTRY1 || controlId > IDC_EXIT) return nullptr;
    return &entryHitRects.controls[controlId - IDC_ENTRY1];
}

RECT ButtonRect(HWND button)
{
    RECT rect = {};
    GetWindowRect(button, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(button), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT EntryTextArea(HWND button)
{
    RECT area = ButtonRect(button);
    area.left -= kButtonOffset;
    area.right -= kButtonOffset;
    if (IsLeftAligned(menuConfig.textAlign)) {
        area.right = kButtonOffset;
    } else {
        area.right = area.left;
        area.left = 0;
    }
    return area;
}

bool MeasureMultilineText(HDC dc, const char* text, int* width, int* height)
{
    int widest = 0, total = 0;
    const char* line = text;
    for (;;) {
        int length = 0;
        while (line[length] && line[length] != '\n') ++length;
        SIZE size = {};
        if (!GetTextExtentPoint32A(dc, line, length, &size)) return false;
        // An empty line between two breaks is still one line high.
        if (length == 0 && !GetTextExtentPoint32A(dc, " ", 1, &size)) return false;
        if (length > 0 && size.cx > widest) widest = size.cx;
        total += size.cy;
        if (!line[length] || !line[length + 1]) break;   // a final break adds no line
        line += length + 1;
    }
    *width = widest;
    *height = total;
    return true;
}

void DrawEntryLabel(HDC given, HWND button)
{
    const char* label;
    const char* help;
    EntryTextRects* rects = EntryRectsOf(GetDlgCtrlID(button));
    if (!button || !rects || !EntryTexts(GetDlgCtrlID(button), &label, &help)) return;
    HWND menu = GetParent(button);
    HDC dc = given ? given : GetDC(menu);
    if (!dc) return;

    HFONT labelFont = CreateFontIndirectA(AsLogFont(menuConfig.labelLogFont));
    HFONT helpFont = CreateFontIndirectA(AsLogFont(menuConfig.helpLogFont));
    // The font the context held before either of ours, put back at the end.
    HGDIOBJ kept = labelFont ? SelectObject(dc, labelFont) : nullptr;
    SetBkMode(dc, TRANSPARENT);

    const bool left = IsLeftAligned(menuConfig.textAlign);
    const UINT align = left ? DT_LEFT : DT_RIGHT;
    RECT area = EntryTextArea(button);

    if (label[0]) {
        int width, height;
        if (MeasureMultilineText(dc, label, &width, &height)) {
            if (area.right - area.left > width) FitWidth(&area, width, left);
            if (area.bottom - area.top > height) {
                area.top += (area.bottom - area.top - height) / 2;
                area.bottom = area.top + height;
            }
        }
        if (menuConfig.titleShadow) DrawInColor(dc, label, area, kLabelFlags | align, menuConfig.bodyTextColor);
        RECT raised = area;
        OffsetRect(&raised, -1, -1);
        DrawInColor(dc, label, raised, kLabelFlags | align,
                    GetFocus() == button ? menuConfig.hiliteColor : menuConfig.titleColor);
        Record(&rects->label, &rects->labelRecorded, area);
    }

    if (help && help[0]) {
        OffsetRect(&area, 0, area.bottom - area.top);
        if (helpFont) {
            HGDIOBJ previous = SelectObject(dc, helpFont);
            if (!kept) kept = previous;
        }
        int width, height;
        if (MeasureMultilineText(dc, help, &width, &height)) {
            FitWidth(&area, width, left);
            area.bottom = area.top + height;
        }
        DrawInColor(dc, help, area, kHelpFlags | align, menuConfig.bodyTextColor);
        Record(&rects->help, &rects->helpRecorded, area);
    }

    if (kept) SelectObject(dc, kept);
    if (helpFont) DeleteObject(helpFont);
    if (labelFont) DeleteObject(labelFont);
    if (!given) ReleaseDC(menu, dc);
}

void FocusEntryOnHover(HWND button)
{
    HWND menu = GetParent(button);
    if (menu != GetForegroundWindow() || GetFocus() == button) return;
    HWND previous = SetFocus(button);
    SetWindowLongA(button, GWL_STYLE, GetWindowLongA(button, GWL_STYLE) | BS_DEFPUSHBUTTON);
    InvalidateRect(button, nullptr, FALSE);
    // Only the menu's own buttons carry the default-button bit; the same bit
    // means something else in other window classes.
    if (previous && GetParent(previous) == menu) {
        LONG style = GetWindowLongA(previous, GWL_STYLE);
        if (style & BS_DEFPUSHBUTTON) SetWindowLongA(previous, GWL_STYLE, style & ~BS_DEFPUSHBUTTON);
    }
}

LRESULT CALLBACK EntryButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS: {
        // The entry that lost the focus goes back to the title colour, this one
        // takes the highlight. Windows outside the menu have nothing to draw.
        HWND lost = reinterpret_cast<HWND>(wParam);
        if (lost && GetParent(lost) == GetParent(button)) DrawEntryLabel(nullptr, lost);
        DrawEntryLabel(nullptr, button);
        break;
    }
    case WM_KILLFOCUS: {
        // The next paint restores the background under the old highlight.
        RECT area = EntryTextArea(button);
        InvalidateRect(GetParent(button), &area, TRUE);
        break;
    }
    case WM_MOUSEMOVE:
        FocusEntryOnHover(button);
        break;
    }
    if (!classButtonProc) return DefWindowProcA(button, message, wParam, lParam);
    return CallWindowProcA(classButtonProc, button, message, wParam, lParam);
}

void SetEntryButtonIcon(HWND button, int iconId)
{
    HANDLE icon = LoadImageA(moduleInstance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
    if (icon) SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}
