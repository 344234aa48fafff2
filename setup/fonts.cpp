#include "fonts.h"

#include "framework/text.h"

namespace {

struct FontSearch {
    LOGFONTA result;
    bool found;
};

// Keeps every font it is shown, so the last one the system lists wins.
int CALLBACK KeepLastFont(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data)
{
    FontSearch* search = reinterpret_cast<FontSearch*>(data);
    search->result = *font;
    search->found = true;
    return 1;
}

void SelectFont(const FontSpec& spec, MenuLogFont* selected)
{
    LOGFONTA wanted = {};
    // A face too long for the record searches with an empty face: every family.
    TextCopy(wanted.lfFaceName, LF_FACESIZE, spec.face);
    wanted.lfCharSet = spec.charset;

    FontSearch search = {};
    HDC screen = GetDC(nullptr);
    if (screen) {
        EnumFontFamiliesExA(screen, &wanted, KeepLastFont, reinterpret_cast<LPARAM>(&search), 0);
        ReleaseDC(nullptr, screen);
    }
    if (!search.found) GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof search.result, &search.result);
    search.result.lfItalic = 0;
    FromLogFont(search.result, selected);
}

}  // namespace

void SelectMenuFonts()
{
    SelectFont(menuConfig.labelFont, &menuConfig.labelLogFont);
    SelectFont(menuConfig.helpFont, &menuConfig.helpLogFont);
}
