// The menu's two fonts: the configured faces checked against the installed
// fonts (SelectMenuFonts, declared with the settings in config.h), then sized
// from the menu's layout when it opens (SizeMenuFonts).
#pragma once

#include <windows.h>

#include <string.h>

#include "config.h"

static_assert(sizeof(MenuLogFont) == sizeof(LOGFONTA), "MenuLogFont must mirror LOGFONTA");
static_assert(offsetof(MenuLogFont, lfCharSet) == offsetof(LOGFONTA, lfCharSet), "MenuLogFont must mirror LOGFONTA");
static_assert(offsetof(MenuLogFont, lfFaceName) == offsetof(LOGFONTA, lfFaceName), "MenuLogFont must mirror LOGFONTA");

// A settings font as the Windows record, and back.
inline LOGFONTA ToLogFont(const MenuLogFont& font)
{
    LOGFONTA result;
    memcpy(&result, &font, sizeof result);
    return result;
}
// The settings font used in place, as the Windows record it mirrors.
inline const LOGFONTA* AsLogFont(const MenuLogFont& font)
{
    return reinterpret_cast<const LOGFONTA*>(&font);
}
inline void FromLogFont(const LOGFONTA& font, MenuLogFont* result)
{
    memcpy(result, &font, sizeof *result);
}

// Completes both fonts from the window rectangle of the first entry's button:
// heights of a third (labels) and a fifth (help texts) of the button's height
// unless configured, then the configured weight, italic and underline.
void SizeMenuFonts(const RECT& firstButton);
