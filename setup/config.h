// The disc menu's settings: the [Vendrel] section of autorun.inf in setup's
// folder, read once at start-up into the process-wide MenuConfig.
//
// Portable code (no Windows headers): it builds for setup.exe and natively for
// the fast tests and the fuzz target. What needs Windows comes in through two
// functions that the program provides (and tests replace): LoadResourceString
// for the string table and SelectMenuFonts for the font step that ends the read.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

// The record of a Windows logical font (LOGFONTA), field for field, so that
// the portable settings can hold the menu's two fonts. The font code checks
// that both layouts agree.
struct MenuLogFont {
    int32_t lfHeight;
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;
    uint8_t lfItalic;
    uint8_t lfUnderline;
    uint8_t lfStrikeOut;
    uint8_t lfCharSet;
    uint8_t lfOutPrecision;
    uint8_t lfClipPrecision;
    uint8_t lfQuality;
    uint8_t lfPitchAndFamily;
    char lfFaceName[32];
};

const size_t kPathSize = 260;   // MAX_PATH
const size_t kTextSize = 256;

struct FontSpec {
    char face[kTextSize];
    uint8_t charset;      // 1 (DEFAULT_CHARSET) unless configured
    int32_t height;       // 0: derived from the menu layout
    int32_t weight;       // 0: the installed font's weight; a configured 1 is stored as 700
    uint8_t italic;
    uint8_t underline;
};

struct ColorSpec {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// Client pixels of the menu window; right == left means no rectangle.
struct MenuRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct MenuEntry {
    char command[kPathSize];  // relative to setup's folder, may carry arguments
    char label[kTextSize];
    char help[kTextSize];     // may contain line breaks
    MenuRect iconRect;
};

const int kEntryCount = 6;

struct MenuConfig {
    char title[kPathSize];
    char preferredStart[kTextSize];  // only the first character counts
    char textAlign[kTextSize];       // "left" (any case) left-aligns, anything else right-aligns
    bool exitAfterCall;
    bool closeAfterBrowse;
    bool titleShadow;
    FontSpec labelFont;
    FontSpec helpFont;
    ColorSpec bodyTextColor;
    ColorSpec titleColor;
    ColorSpec hiliteColor;
    MenuEntry entries[kEntryCount];
    char browseLabel[kTextSize];
    char exitLabel[kTextSize];
    MenuLogFont labelLogFont;
    MenuLogFont helpLogFont;
};

// The process's settings, filled by ReadMenuConfig and read-only afterwards
// (except the font sizes, fixed when the menu opens).
extern MenuConfig& menuConfig;

// Reads programFolder (with its trailing backslash) + "autorun.inf" into
// menuConfig, fills the defaults and selects the fonts. True when the section
// was found and entry 1 has a command.
bool ReadMenuConfig(const char* programFolder);

// The reading itself, from an open file into `config`: everything of
// ReadMenuConfig but opening the file and the font step.
bool ReadMenuConfigFrom(FILE* file, MenuConfig& config);

// Replaces each backslash followed by the letter n with a line break (10).
void ExpandLineBreaks(char* text);

// True when a text_align value means left alignment: "left", in any case.
bool IsLeftAligned(const char* textAlign);

// Provided by the program: loads string `id` of the module, at most size - 1
// characters; an empty buffer when there is none. Returns the length.
size_t LoadResourceString(char* buffer, size_t size, unsigned id);

// Provided by the program: builds menuConfig's two logical fonts from its font
// settings.
void SelectMenuFonts();
