#include "config.h"

#include <stdlib.h>
#include <string.h>

#include "framework/text.h"
#include "resource.h"

// On the C heap: a record of several kilobytes, nearly all zeros, has no place
// in a program file that is read from a slow disc.
MenuConfig& menuConfig = *static_cast<MenuConfig*>(calloc(1, sizeof(MenuConfig)));

namespace {

// A read takes at most this many characters of a line; the rest of a longer
// line is skipped, so text inside a long value never becomes a line of its own.
const size_t kLineSize = 255;

enum ValueKind { kText, kHelpText, kFont, kColor, kRect };

struct Key {
    const char* text;
    ValueKind kind;
    // Where the value goes; entry fields use `entry` (0 to 5).
    int field;
    int entry;
};

// Fields that a key can set.
enum Field {
    kTextAlign, kPreferredStart, kCommand, kTitle, kLabelFont, kHelpFont, kLabel, kHelp,
    kCloseAfterBrowse, kBrowseLabel, kExitLabel, kExitAfterCall, kTitleShadow,
    kBodyTextColor, kTitleColor, kHiliteColor, kIconRect
};

// In the order they are tested: a key whose text contains another key's text
// ("preferred_start =" holds "start =") comes first.
const Key kKeys[] = {
    {"text_align =", kText, kTextAlign, 0},
    {"preferred_start =", kText, kPreferredStart, 0},
    {"start =", kText, kCommand, 0},
    {"start2 =", kText, kCommand, 1},
    {"start3 =", kText, kCommand, 2},
    {"start4 =", kText, kCommand, 3},
    {"start5 =", kText, kCommand, 4},
    {"start6 =", kText, kCommand, 5},
    {"title =", kText, kTitle, 0},
    {"font =", kFont, kLabelFont, 0},
    {"font_help =", kFont, kHelpFont, 0},
    {"install =", kText, kLabel, 0},
    {"install_help =", kHelpText, kHelp, 0},
    {"install2 =", kText, kLabel, 1},
    {"install_help2 =", kHelpText, kHelp, 1},
    {"install3 =", kText, kLabel, 2},
    {"install_help3 =", kHelpText, kHelp, 2},
    {"install4 =", kText, kLabel, 3},
    {"install_help4 =", kHelpText, kHelp, 3},
    {"install5 =", kText, kLabel, 4},
    {"install_help5 =", kHelpText, kHelp, 4},
    {"install6 =", kText, kLabel, 5},
    {"install_help6 =", kHelpText, kHelp, 5},
    {"close_after_browse =", kText, kCloseAfterBrowse, 0},
    {"browse =", kText, kBrowseLabel, 0},
    {"exit =", kText, kExitLabel, 0},
    {"exit_after_call =", kText, kExitAfterCall, 0},
    {"title_shadow =", kText, kTitleShadow, 0},
    {"body_text_color =", kColor, kBodyTextColor, 0},
    {"title_color =", kColor, kTitleColor, 0},
    {"hilite_color =", kColor, kHiliteColor, 0},
    {"start_icon_rect =", kRect, kIconRect, 0},
    {"start_icon_rect2 =", kRect, kIconRect, 1},
    {"start_icon_rect3 =", kRect, kIconRect, 2},
    {"start_icon_rect4 =", kRect, kIconRect, 3},
    {"start_icon_rect5 =", kRect, kIconRect, 4},
    {"start_icon_rect6 =", kRect, kIconRect, 5},
};

// The three flag keys keep their raw text until the section is read.
struct FlagTexts {
    char exitAfterCall[kTextSize];
    char closeAfterBrowse[kTextSize];
    char titleShadow[kTextSize];
};

void SetDefaults(MenuConfig& config)
{
    memset(&config, 0, sizeof config);
    config.exitAfterCall = true;
    config.titleShadow = true;
    config.labelFont.charset = 1;
    config.helpFont.charset = 1;
    config.bodyTextColor = ColorSpec{255, 255, 255};
    config.titleColor = ColorSpec{255, 255, 255};
    config.hiliteColor = ColorSpec{255, 255, 0};
}

// One line without its line break (LF, or CR LF as a host reads a Windows
// file), at most kLineSize - 1 characters of it. Returns false at the end of
// the file. `empty` tells a line of length zero, that is one that starts with
// a zero byte.
bool ReadLine(FILE* file, char* line, bool* empty)
{
    size_t length = 0;
    bool any = false;
    int c;
    while ((c = getc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (length < kLineSize - 1) line[length++] = char(c);
    }
    if (!any) return false;
    if (c == '\n' && length > 0 && line[length - 1] == '\r') --length;
    line[length] = 0;
    *empty = length > 0 && line[0] == 0;
    return true;
}

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A decimal integer as text is conventionally read: white space, a sign,
// digits; text without digits reads as 0. Larger numbers wrap in 32 bits.
int32_t ReadNumber(const char* text)
{
    while (IsWhiteSpace(*text)) ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + uint32_t(*text - '0');
    return int32_t(negative ? 0u - value : value);
}

// Reads up to `capacity` numbers of a comma-separated list; returns how many
// were read. A list always yields at least one number.
int ReadNumberList(const char* text, int32_t* numbers, int capacity)
{
    int count = 0;
    while (count < capacity) {
        numbers[count++] = ReadNumber(text);
        text = strchr(text, ',');
        if (!text) break;
        ++text;
        while (IsBlankOrTab(*text)) ++text;
    }
    return count;
}

void StoreColor(const char* value, ColorSpec& color)
{
    int32_t n[3];
    int count = ReadNumberList(value, n, 3);
    uint8_t* fields[] = {&color.red, &color.green, &color.blue};
    for (int i = 0; i < count; ++i) *fields[i] = uint8_t(n[i]);
}

// x, y, width, height; fields that the list does not reach keep their value.
void StoreRect(const char* value, MenuRect& rect)
{
    int32_t n[4];
    int count = ReadNumberList(value, n, 4);
    rect.left = n[0];
    if (count > 1) rect.top = n[1];
    if (count > 2) rect.right = int32_t(uint32_t(rect.left) + uint32_t(n[2]));
    if (count > 3) rect.bottom = int32_t(uint32_t(rect.top) + uint32_t(n[3]));
}

// A face, then optionally a comma and charset, height, weight, italic, underline.
void StoreFont(const char* value, FontSpec& font)
{
    const char* comma = strchr(value, ',');
    size_t faceLength = comma ? size_t(comma - value) : strlen(value);
    TextCopyN(font.face, kTextSize, value, faceLength);
    if (!comma) return;
    const char* rest = comma + 1;
    while (IsBlankOrTab(*rest)) ++rest;
    if (!*rest) return;
    int32_t n[5];
    int count = ReadNumberList(rest, n, 5);
    if (count > 0) font.charset = uint8_t(n[0]);
    if (count > 1) font.height = n[1];
    if (count > 2) font.weight = n[2] == 1 ? 700 : n[2];
    if (count > 3) font.italic = uint8_t(n[3]);
    if (count > 4) font.underline = uint8_t(n[4]);
}

void StoreValue(const Key& key, const char* value, MenuConfig& config, FlagTexts& flags)
{
    MenuEntry& entry = config.entries[key.entry];
    char* text = nullptr;
    size_t capacity = kTextSize;
    switch (key.field) {
    case kTextAlign: text = config.textAlign; break;
    case kPreferredStart: text = config.preferredStart; break;
    case kCommand: text = entry.command; capacity = kPathSize; break;
    case kTitle: text = config.title; capacity = kPathSize; break;
    case kLabel: text = entry.label; break;
    case kHelp: text = entry.help; break;
    case kCloseAfterBrowse: text = flags.closeAfterBrowse; break;
    case kBrowseLabel: text = config.browseLabel; break;
    case kExitLabel: text = config.exitLabel; break;
    case kExitAfterCall: text = flags.exitAfterCall; break;
    case kTitleShadow: text = flags.titleShadow; break;
    case kLabelFont: StoreFont(value, config.labelFont); return;
    case kHelpFont: StoreFont(value, config.helpFont); return;
    case kBodyTextColor: StoreColor(value, config.bodyTextColor); return;
    case kTitleColor: StoreColor(value, config.titleColor); return;
    case kHiliteColor: StoreColor(value, config.hiliteColor); return;
    case kIconRect: StoreRect(value, entry.iconRect); return;
    }
    // A value is shorter than a line, so it always fits.
    TextCopy(text, capacity, value);
    if (key.kind == kHelpText) ExpandLineBreaks(text);
}

void HandleLine(const char* line, MenuConfig& config, FlagTexts& flags)
{
    for (const Key& key : kKeys) {
        if (!strstr(line, key.text)) continue;
        // The value counts from the start of the line: keys belong there.
        const char* value = line + strlen(key.text);
        while (IsBlankOrTab(*value)) ++value;
        StoreValue(key, value, config, flags);
        return;
    }
}

void FillFromResource(char* field, unsigned id)
{
    if (!field[0]) LoadResourceString(field, kTextSize, id);
}

}  // namespace

void ExpandLineBreaks(char* text)
{
    char* out = text;
    for (const char* in = text; *in; ++in) {
        if (in[0] == '\\' && in[1] == 'n') {
            *out++ = '\n';
            ++in;
        } else {
            *out++ = *in;
        }
    }
    *out = 0;
}

bool IsLeftAligned(const char* textAlign)
{
    const char* left = "left";
    for (; *left; ++left, ++textAlign) {
        char c = *textAlign;
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != *left) return false;
    }
    return *textAlign == 0;
}

bool ReadMenuConfigFrom(FILE* file, MenuConfig& config)
{
    SetDefaults(config);
    FlagTexts flags = {};

    char header[kTextSize];
    LoadResourceString(header, sizeof header, IDS_INF_SECTION);

    char line[kLineSize];
    bool empty = false;
    bool found = false;
    while (!found && ReadLine(file, line, &empty)) found = strstr(line, header) != nullptr;
    if (!found) return false;

    // The section ends at the end of the file, at an empty line read (a zero
    // byte first) or at the next section's header.
    while (ReadLine(file, line, &empty) && !empty && line[0] != '[') HandleLine(line, config, flags);

    if (flags.exitAfterCall[0] == '0') config.exitAfterCall = false;
    if (flags.closeAfterBrowse[0] == '1') config.closeAfterBrowse = true;
    if (flags.titleShadow[0] == '0') config.titleShadow = false;

    if (!config.entries[0].command[0]) return false;

    FillFromResource(config.labelFont.face, IDS_LABEL_FONT);
    FillFromResource(config.helpFont.face, IDS_HELP_FONT);
    FillFromResource(config.entries[0].label, IDS_ENTRY1_LABEL);
    FillFromResource(config.browseLabel, IDS_BROWSE_LABEL);
    FillFromResource(config.exitLabel, IDS_EXIT_LABEL);
    return true;
}

bool ReadMenuConfig(const char* programFolder)
{
    char path[kPathSize];
    if (!TextConcat(path, kPathSize, programFolder, "autorun.inf")) return false;
    FILE* file = fopen(path, "r");
    if (!file) return false;
    bool read = ReadMenuConfigFrom(file, menuConfig);
    fclose(file);
    if (!read) return false;
    SelectMenuFonts();
    return true;
}
