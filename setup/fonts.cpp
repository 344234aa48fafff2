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

void SelectFont(const FontSpec& setting, MenuLogFont* selected)
{
    LOGFONTA wanted = {};
    // A face too long for the record searches with an empty face: every family.
    TextCopy(wanted.lfFaceName, LF_FACESIZE, setting.face);
    wanted.lfCharSet = setting.charset;

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

// A negative height asks for a character height of 1/divisor of the button.
void SizeFont(const FontSpec& setting, int divisor, const RECT& firstButton, MenuLogFont* font)
{
    font->lfWidth = 0;
    font->lfHeight = setting.height ? setting.height : (firstButton.top - firstButton.bottom) / divisor;
    if (setting.weight) font->lfWeight = setting.weight;
    if (setting.italic) font->lfItalic = setting.italic;
    if (setting.underline) font->lfUnderline = setting.underline;
}

}  // namespace

void SelectMenuFonts()
{
    SelectFont(menuConfig.labelFont, &menuConfig.labelLogFont);
    SelectFont(menuConfig.helpFont, &menuConfig.helpLogFont);
}

void SizeMenuFonts(const RECT& firstButton)
{
    SizeFont(menuConfig.labelFont, 3, firstButton, &menuConfig.labelLogFont);
    SizeFont(menuConfig.helpFont, 5, firstButton, &menuConfig.helpLogFont);
}
