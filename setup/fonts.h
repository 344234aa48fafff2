// The menu's two fonts: the configured faces checked against the installed
// fonts (SelectMenuFonts, declared with the settings in config.h).
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
inline void FromLogFont(const LOGFONTA& font, MenuLogFont* result)
{
    memcpy(result, &font, sizeof *result);
}
