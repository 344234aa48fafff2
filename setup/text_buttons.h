// The menu's entries as drawn texts: each entry's label (with its shadow) and
// help text, painted beside the entry's far-away push button, the rectangles
// where they landed (for hit testing), and the button procedure that keeps the
// highlight in step with the keyboard focus.
#pragma once

#include <windows.h>

// The menu moves its buttons this far to the right when it opens; the text
// layout takes it off again.
const int kButtonOffset = 2000;

// The drawn entries: IDC_ENTRY1 to IDC_ENTRY6, IDC_BROWSE and IDC_EXIT.
const int kDrawnControls = 8;

// Where one control's texts were laid out at their first drawing, in client
// pixels of the menu. Written once; a rectangle not recorded never matches.
struct EntryTextRects {
    RECT label;
    bool labelRecorded;
    RECT help;           // program entries only
    bool helpRecorded;
};
struct EntryHitRects {
    EntryTextRects controls[kDrawnControls];   // by control identifier - IDC_ENTRY1
};
extern EntryHitRects entryHitRects;

// The button class's own procedure, kept by the menu when it first installs
// EntryButtonProc; every entry button passes its messages on to it.
extern WNDPROC classButtonProc;

// The recorded rectangles of a drawn control, or null for any other identifier.
EntryTextRects* EntryRectsOf(int controlId);

// The button's window rectangle in its parent's client coordinates.
RECT ButtonRect(HWND button);

// The layout area of the button's texts in the menu's client coordinates:
// from the button's left edge to the right (left alignment), or from the
// window's left edge up to the button (right alignment).
RECT EntryTextArea(HWND button);

// Draws the label and help text of the entry that `button` stands for, with
// `dc`, or with a device context of the menu when `dc` is null.
void DrawEntryLabel(HDC dc, HWND button);

// Installed on every entry button and on the focus sink.
LRESULT CALLBACK EntryButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the button the focus (and the default-button look) when the mouse
// moves over it while the menu is in front.
void FocusEntryOnHover(HWND button);

// Sets icon `iconId` of the module as the button's image, when it loads.
void SetEntryButtonIcon(HWND button, int iconId);

// The widest line and the sum of the line heights of a text whose lines are
// separated by line breaks (10). False when a line cannot be measured.
bool MeasureMultilineText(HDC dc, const char* text, int* width, int* height);
