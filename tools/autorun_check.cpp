// autorun-check: setup's reader for the summary, a line scanner for the
// lines that setup ignores or reads differently from how they look.
#include "tools/autorun_check.h"

#include <ctype.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "setup/config.h"
#include "setup/resource.h"

namespace {

// The section header that setup is checked with (its string IDS_INF_SECTION).
std::string checkedSection = "[Vendrel]";

}  // namespace

// setup's string table (setup.rc); the section header as asked for.
size_t LoadResourceString(char* buffer, size_t size, unsigned id)
{
    const char* text = "";
    switch (id) {
    case IDS_LABEL_FONT: text = "Arial"; break;
    case IDS_HELP_FONT: text = "Arial"; break;
    case IDS_ENTRY1_LABEL: text = "Install..."; break;
    case IDS_BROWSE_LABEL: text = "Browse this CD"; break;
    case IDS_EXIT_LABEL: text = "Exit"; break;
    case IDS_INF_SECTION: text = checkedSection.c_str(); break;
    }
    if (size == 0) return 0;
    size_t n = std::min(size - 1, strlen(text));
    memcpy(buffer, text, n);
    buffer[n] = 0;
    return n;
}

// The fonts are chosen among the installed ones on Windows; the checker
// reports the font settings themselves.
void SelectMenuFonts() {}

namespace {

// What setup's reader keeps of one line; the rest of a longer line is skipped.
const size_t kReadLength = 254;
// A Windows font name holds 31 characters.
const size_t kFaceLength = 31;
// msvcrt's text mode ends a file at its first Ctrl+Z.
const char kEndOfFileMark = '\x1a';

const char* const kFlagNames[] = {"close after browse", "exit after call", "title shadow"};
const char* const kColorNames[] = {"body text colour", "title colour", "highlight colour"};

std::string EntryKeyName(const char* stem, int entry)
{
    return entry == 0 ? stem : stem + std::to_string(entry + 1);
}

std::vector<MenuKey> BuildKeys()
{
    std::vector<MenuKey> keys;
    auto add = [&](const std::string& name, KeyKind kind, int entry) { keys.push_back({name, name + " =", kind, entry}); };
    add("text_align", KeyKind::kAlign, 0);
    add("preferred_start", KeyKind::kPreferred, 0);
    for (int e = 0; e < kEntryCount; ++e) add(EntryKeyName("start", e), KeyKind::kCommand, e);
    add("title", KeyKind::kTitle, 0);
    add("font", KeyKind::kFont, 0);
    add("font_help", KeyKind::kFont, 1);
    for (int e = 0; e < kEntryCount; ++e) {
        add(EntryKeyName("install", e), KeyKind::kLabel, e);
        add(EntryKeyName("install_help", e), KeyKind::kHelp, e);
    }
    add("close_after_browse", KeyKind::kFlag, 0);
    add("browse", KeyKind::kBrowse, 0);
    add("exit", KeyKind::kExit, 0);
    add("exit_after_call", KeyKind::kFlag, 1);
    add("title_shadow", KeyKind::kFlag, 2);
    add("body_text_color", KeyKind::kColor, 0);
    add("title_color", KeyKind::kColor, 1);
    add("hilite_color", KeyKind::kColor, 2);
    for (int e = 0; e < kEntryCount; ++e) add(EntryKeyName("start_icon_rect", e), KeyKind::kRect, e);
    return keys;
}

std::string Describe(const MenuKey& key)
{
    std::string entry = "entry " + std::to_string(key.entry + 1) + "'s ";
    switch (key.kind) {
    case KeyKind::kAlign: return "the text alignment";
    case KeyKind::kPreferred: return "the preferred start";
    case KeyKind::kCommand: return entry + "command";
    case KeyKind::kTitle: return "the title";
    case KeyKind::kFont: return key.entry == 0 ? "the label font" : "the help font";
    case KeyKind::kLabel: return entry + "label";
    case KeyKind::kHelp: return entry + "help text";
    case KeyKind::kFlag: return kFlagNames[key.entry];
    case KeyKind::kBrowse: return "the browse label";
    case KeyKind::kExit: return "the exit label";
    case KeyKind::kColor: return std::string("the ") + kColorNames[key.entry];
    case KeyKind::kRect: return entry + "icon rectangle";
    }
    return key.name;
}

// A text as the report shows it: in double quotes, control characters escaped.
std::string Quote(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else if (c < 32 || c == 127) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else out += char(c);
    }
    return out + "\"";
}

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string Trim(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsWhiteSpace(text[begin])) ++begin;
    while (end > begin && IsWhiteSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

// True when the text holds a UTF-8 sequence of two or more bytes: text that
// setup, reading the system's ANSI code page, shows as other characters.
bool HasUtf8Sequence(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = (unsigned char)text[i];
        size_t more = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
        size_t j = 1;
        while (j <= more && i + j < text.size() && ((unsigned char)text[i + j] & 0xC0) == 0x80) ++j;
        if (more && j == more + 1) return true;
    }
    return false;
}

const char kUtf8Mark[] = "\xef\xbb\xbf";

// The name a line begins with (letters, digits, underscores); `assigns` tells
// whether an equals sign follows it, blanks and tabs aside.
std::string LeadingName(const std::string& text, bool* assigns)
{
    size_t end = 0;
    while (end < text.size() && (isalnum((unsigned char)text[end]) || text[end] == '_')) ++end;
    size_t after = end;
    while (after < text.size() && IsBlankOrTab(text[after])) ++after;
    *assigns = end > 0 && after < text.size() && text[after] == '=';
    return text.substr(0, end);
}

// The value that setup takes from a line for `key`: counted from the start of
// the line by the key's length, leading blanks and tabs skipped.
std::string ValueOf(const std::string& line, const MenuKey& key)
{
    size_t at = std::min(key.text.size(), line.size());
    while (at < line.size() && IsBlankOrTab(line[at])) ++at;
    return line.substr(at);
}

// One line of the file as setup's reader takes it.
struct Line {
    int number = 0;
    std::string text;      // what the reader works with: up to a zero byte, line break removed
    size_t length = 0;     // characters of the line, line break excluded
    bool zeroFirst = false;  // begins with a zero byte: the reader ends the section there
    bool zeroInside = false;
};

std::vector<Line> SplitLines(const std::string& bytes)
{
    std::vector<Line> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        bool ended = end != std::string::npos;
        if (!ended) end = bytes.size();
        std::string raw = bytes.substr(at, end - at);
        at = ended ? end + 1 : end;

        Line line;
        line.number = int(lines.size()) + 1;
        line.length = raw.size() - (ended && !raw.empty() && raw.back() == '\r' ? 1 : 0);
        std::string kept = raw.substr(0, kReadLength);
        if (ended && !kept.empty() && kept.back() == '\r') kept.pop_back();
        line.zeroFirst = !kept.empty() && kept[0] == 0;
        size_t zero = kept.find('\0');
        line.zeroInside = zero != std::string::npos && zero > 0;
        line.text = kept.substr(0, zero);
        lines.push_back(line);
    }
    return lines;
}

// One number of a list, and what setup reads from it.
struct ListItem {
    std::string text;
    int32_t value = 0;
    bool clean = false;  // a plain decimal integer that fits 32 bits
};

// Reads a number the way setup does: white space, a sign, digits (wrapping in
// 32 bits); notes whether the item was a plain integer.
ListItem ReadItem(const std::string& value, size_t at, size_t end)
{
    ListItem item;
    item.text = Trim(value.substr(at, end - at));
    size_t i = at;
    while (i < end && IsWhiteSpace(value[i])) ++i;
    bool negative = i < end && value[i] == '-';
    if (i < end && (value[i] == '-' || value[i] == '+')) ++i;
    uint32_t number = 0;
    uint64_t exact = 0;
    size_t digits = 0;
    for (; i < end && value[i] >= '0' && value[i] <= '9'; ++i, ++digits) {
        number = number * 10u + uint32_t(value[i] - '0');
        if (exact <= 0xFFFFFFFFull) exact = exact * 10u + uint64_t(value[i] - '0');
    }
    item.value = int32_t(negative ? 0u - number : number);
    bool fits = negative ? exact <= 0x80000000ull : exact <= 0x7FFFFFFFull;
    item.clean = digits > 0 && fits && Trim(value.substr(i, end - i)).empty();
    return item;
}

// Splits a number list as setup walks it: a number, then on from the next
// comma past blanks and tabs.
std::vector<ListItem> ReadList(const std::string& value)
{
    std::vector<ListItem> items;
    size_t at = 0;
    for (;;) {
        size_t comma = value.find(',', at);
        items.push_back(ReadItem(value, at, comma == std::string::npos ? value.size() : comma));
        if (comma == std::string::npos) break;
        at = comma + 1;
        while (at < value.size() && IsBlankOrTab(value[at])) ++at;
    }
    return items;
}

struct Diagnostic {
    int line;  // 0: the file as a whole
    bool error;
    std::string text;
};

class Checker {
public:
    Checker(const std::string& name, const std::string& section) : name_(name), section_(section) {}

    CheckVerdict Run(const std::string& bytes, std::ostream& out);

private:
    void Warn(int line, const std::string& text) { diagnostics_.push_back({line, false, text}); }
    void Fail(int line, const std::string& text) { diagnostics_.push_back({line, true, text}); }
    int LastLine(int key) const { return keyLines_[key].empty() ? 0 : keyLines_[key].back(); }
    int KeyIndex(KeyKind kind, int entry) const;
    int LastLineOf(KeyKind kind, int entry) const { return LastLine(KeyIndex(kind, entry)); }

    void CheckEndOfFileMark(const std::string& bytes, size_t mark);
    void CheckSectionLine(const Line& line);
    void CheckKeylessLine(const Line& line);
    void CheckValue(const Line& line, const MenuKey& key, const std::string& value);
    void CheckNumbers(int line, const std::vector<ListItem>& items, size_t used, const char* const* names,
                      uint32_t eightBitFields);
    void CheckOutsideLine(const Line& line, int sectionEnd);
    void CheckSettings(const MenuConfig& config);
    void ExplainRefusal(const std::vector<Line>& lines, int headerIndex);
    void PrintSummary(const MenuConfig& config, std::ostream& out) const;
    void PrintDiagnostics(std::ostream& out);

    std::string name_;
    std::string section_;
    std::vector<Diagnostic> diagnostics_;
    // Per key: the lines that set it, and the value of the last one.
    std::vector<std::vector<int>> keyLines_ = std::vector<std::vector<int>>(MenuKeys().size());
    std::vector<std::string> lastValues_ = std::vector<std::string>(MenuKeys().size());
    int headerLine_ = 0;
    int lastSectionLine_ = 0;
    std::vector<int> utf8Lines_;  // section lines with UTF-8 text
    bool utf16_ = false;          // the file starts with a UTF-16 byte-order mark
};

int Checker::KeyIndex(KeyKind kind, int entry) const
{
    const std::vector<MenuKey>& keys = MenuKeys();
    for (size_t k = 0; k < keys.size(); ++k)
        if (keys[k].kind == kind && keys[k].entry == entry) return int(k);
    return 0;
}

void Checker::CheckEndOfFileMark(const std::string& bytes, size_t mark)
{
    std::string rest = bytes.substr(mark + 1);
    rest.erase(std::remove(rest.begin(), rest.end(), kEndOfFileMark), rest.end());
    if (Trim(rest).empty()) return;  // the usual mark at the very end
    int line = int(std::count(bytes.begin(), bytes.begin() + long(mark), '\n')) + 1;
    Warn(line, "an end-of-file mark (Ctrl+Z) ends the file for setup here; nothing after it is read");
}

void Checker::CheckSectionLine(const Line& line)
{
    if (line.length > kReadLength)
        Warn(line.number, "the line is " + std::to_string(line.length) + " characters long; setup reads only the first " +
                              std::to_string(kReadLength) + " and skips the rest");
    if (line.zeroInside) Warn(line.number, "a zero byte ends the line for setup; the text after it is not read");
    if (line.text.find('\r') != std::string::npos)
        Warn(line.number, "a carriage return that is not part of a line break stays in the line's text");
    if (HasUtf8Sequence(line.text)) utf8Lines_.push_back(line.number);

    int found = FindMenuKey(line.text);
    if (found < 0) {
        CheckKeylessLine(line);
        return;
    }
    const MenuKey& key = MenuKeys()[size_t(found)];
    std::string value = ValueOf(line.text, key);
    keyLines_[size_t(found)].push_back(line.number);
    lastValues_[size_t(found)] = value;
    if (line.text.compare(0, key.text.size(), key.text) == 0) {
        CheckValue(line, key, value);
        return;
    }
    // The key's text stands later in the line: setup still takes the line for
    // that key, with the value counted from the start of the line.
    std::string reads = "it reads " + Describe(key) + " as " + Quote(value);
    std::string trimmed = line.text.substr(line.text.find_first_not_of(" \t"));
    for (const MenuKey& other : MenuKeys())
        if (line.text.compare(0, other.text.size(), other.text) == 0) {
            Warn(line.number, "the line begins with '" + other.text + "' but also contains '" + key.text +
                                  "', which setup tests first: " + reads);
            return;
        }
    if (trimmed.compare(0, key.text.size(), key.text) == 0)
        Warn(line.number, "'" + key.text + "' is indented; setup counts the value from the start of the line: " + reads);
    else
        Warn(line.number, "'" + key.text + "' is not at the start of the line, but setup still takes the line, even as a "
                          "comment: " + reads);
}

// A line that no key takes. Blank lines and comments are meant to be skipped.
void Checker::CheckKeylessLine(const Line& line)
{
    std::string text = Trim(line.text);
    if (text.empty() || text[0] == ';' || text[0] == '#') return;
    bool assigns = false;
    std::string word = LeadingName(text, &assigns);

    const MenuKey* exact = nullptr;
    const MenuKey* caseless = nullptr;
    const MenuKey* withoutOne = nullptr;
    for (const MenuKey& key : MenuKeys()) {
        if (key.name == word) exact = &key;
        if (Lower(key.name) == Lower(word)) caseless = &key;
        if (word.size() > 1 && word.back() == '1' && key.name == word.substr(0, word.size() - 1)) withoutOne = &key;
    }
    std::string ignored = "; setup ignores this line";
    if (exact)
        Warn(line.number, "'" + word + "' needs exactly one blank before the equals sign ('" + exact->text + "')" + ignored);
    else if (!assigns)
        Warn(line.number, "not a 'key = value' line" + ignored);
    else if (caseless)
        Warn(line.number, "keys are case-sensitive: '" + word + "' is not '" + caseless->name + "'" + ignored);
    else if (withoutOne)
        Warn(line.number, "entry 1's keys carry no digit: '" + word + "' is not '" + withoutOne->name + "'" + ignored);
    else
        Warn(line.number, "unknown key '" + word + "'" + ignored);
}

// Reports list items that are no plain numbers, 8-bit fields out of range,
// and numbers beyond the `used` that setup reads.
void Checker::CheckNumbers(int line, const std::vector<ListItem>& items, size_t used, const char* const* names,
                           uint32_t eightBitFields)
{
    for (size_t i = 0; i < items.size() && i < used; ++i) {
        const ListItem& item = items[i];
        std::string field = names[i];
        if (!item.clean)
            Warn(line, (item.text.empty() ? field + " is missing" : Quote(item.text) + " is not a whole number") +
                           "; setup reads " + field + " as " + std::to_string(item.value));
        else if ((eightBitFields >> i & 1) && (item.value < 0 || item.value > 255))
            Warn(line, field + " " + std::to_string(item.value) + " is not 0 to 255; setup keeps its low 8 bits, " +
                           std::to_string(item.value & 255));
    }
    if (items.size() > used)
        Warn(line, "only the first " + std::to_string(used) + " numbers count; setup ignores the rest");
}

void Checker::CheckValue(const Line& line, const MenuKey& key, const std::string& value)
{
    int n = line.number;
    bool trailingBlank = !value.empty() && IsBlankOrTab(value.back());
    switch (key.kind) {
    case KeyKind::kAlign:
        if (value.empty() || IsLeftAligned(value.c_str()) || Lower(value) == "right") return;
        if (Lower(Trim(value)) == "left")
            Warn(n, Quote(value) + " is not exactly 'left' (blanks count): setup right-aligns the texts");
        else
            Warn(n, Quote(value) + " is neither 'left' nor 'right': setup right-aligns the texts");
        return;
    case KeyKind::kPreferred:
        if (value.size() > 1)
            Warn(n, "only the first character of " + Quote(value) + " counts; setup reads it as " +
                        Quote(value.substr(0, 1)));
        else if (!value.empty() && (value[0] < '0' || value[0] > '6'))
            Warn(n, Quote(value) + " names no entry (0 shows the menu, 1 to 6 start an entry): setup starts entry 1 at once");
        return;
    case KeyKind::kCommand:
        if (trailingBlank) Warn(n, "the command ends with a blank, which setup keeps as part of it");
        if (value.size() > 1 && value[1] == ':')
            Warn(n, "commands are relative to setup's folder; setup joins " + Quote(value) + " to it, which names no file");
        else if (!value.empty() && value[0] == '"')
            Warn(n, "the quote is kept: setup joins the command to its folder as it stands, quote included");
        return;
    case KeyKind::kFlag:
        if (value != "0" && value != "1") {
            bool on = key.entry == 0 ? value[0] == '1' : value[0] != '0';
            Warn(n, Quote(value) + " is neither 0 nor 1; setup looks only at its first character and takes " +
                        kFlagNames[key.entry] + " as " + (on ? "on" : "off"));
        }
        return;
    case KeyKind::kColor: {
        static const char* const names[] = {"red", "green", "blue"};
        std::vector<ListItem> items = ReadList(value);
        if (items.size() < 3 && !(items.size() == 1 && items[0].text.empty()))
            Warn(n, std::string("only ") + (items.size() == 1 ? "red is" : "red and green are") +
                        " given; setup keeps the previous value of the other components");
        CheckNumbers(n, items, 3, names, 7);
        return;
    }
    case KeyKind::kRect: {
        static const char* const names[] = {"x", "y", "width", "height"};
        std::vector<ListItem> items = ReadList(value);
        if (items.size() < 4 && !(items.size() == 1 && items[0].text.empty()))
            Warn(n, "x, y, width and height are expected; setup keeps the previous value of the edges not given");
        CheckNumbers(n, items, 4, names, 0);
        return;
    }
    case KeyKind::kFont: {
        static const char* const names[] = {"character set", "height", "weight", "italic", "underline"};
        size_t comma = value.find(',');
        std::string face = value.substr(0, comma);
        if (comma != std::string::npos && !face.empty() && IsBlankOrTab(face.back()))
            Warn(n, "the blank before the comma stays in the face name " + Quote(face) +
                        ", which no installed font has: setup uses the system's GUI font");
        if (face.size() > kFaceLength)
            Warn(n, "the face name has " + std::to_string(face.size()) + " characters, more than a Windows font name holds (" +
                        std::to_string(kFaceLength) + "): setup searches with no name and takes the last font listed");
        if (comma == std::string::npos) return;
        size_t rest = comma + 1;
        while (rest < value.size() && IsBlankOrTab(value[rest])) ++rest;
        if (rest < value.size()) CheckNumbers(n, ReadList(value.substr(rest)), 5, names, 1 | 8 | 16);
        return;
    }
    case KeyKind::kTitle:
    case KeyKind::kLabel:
    case KeyKind::kBrowse:
    case KeyKind::kExit:
        if (value.find("\\n") != std::string::npos)
            Warn(n, "'\\n' makes a line break only in help texts; " + Describe(key) + " shows it as written");
        return;
    case KeyKind::kHelp:
        return;
    }
}

// Lines before the section or after its end: menu keys there are not read.
void Checker::CheckOutsideLine(const Line& line, int sectionEnd)
{
    if (headerLine_ && line.text.find(section_) != std::string::npos) {
        Warn(line.number, "a second " + section_ + " section; setup reads only the first (line " +
                              std::to_string(headerLine_) + ")");
        return;
    }
    bool assigns = false;
    std::string word = LeadingName(Trim(line.text), &assigns);
    if (!assigns) return;
    for (const MenuKey& key : MenuKeys())
        if (key.name == word) {
            std::string where = "after the end of the " + section_ + " section (line " + std::to_string(sectionEnd) + ")";
            if (headerLine_ == 0) where = "outside any " + section_ + " section";
            else if (line.number < headerLine_) where = "before the " + section_ + " section";
            Warn(line.number, "'" + word + "' stands " + where + "; setup does not read it");
            return;
        }
}

// Checks that need the whole section: what the menu shows and starts.
void Checker::CheckSettings(const MenuConfig& config)
{
    for (size_t k = 0; k < keyLines_.size(); ++k)
        for (size_t i = 0; i + 1 < keyLines_[k].size(); ++i)
            Warn(keyLines_[k][i], "line " + std::to_string(keyLines_[k].back()) + " sets " +
                                      Describe(MenuKeys()[k]) + " again; setup keeps only the later value");

    for (int e = 0; e < kEntryCount; ++e) {
        const MenuEntry& entry = config.entries[e];
        std::string number = std::to_string(e + 1);
        bool shown = e == 0 || (entry.label[0] && entry.command[0]);
        const MenuRect& r = entry.iconRect;
        int rectLine = LastLineOf(KeyKind::kRect, e);
        if (e > 0 && entry.label[0] && !entry.command[0])
            Warn(LastLineOf(KeyKind::kLabel, e), "entry " + number + " has a label but no command ('" +
                                                     EntryKeyName("start", e) + " ='); setup does not show it");
        if (e > 0 && !entry.label[0] && entry.command[0])
            Warn(LastLineOf(KeyKind::kCommand, e), "entry " + number + " has a command but no label ('" +
                                                       EntryKeyName("install", e) + " ='); setup does not show it");
        if (!shown) {
            if (entry.help[0])
                Warn(LastLineOf(KeyKind::kHelp, e), "entry " + number + " is not shown, so its help text is not used");
            if (rectLine)
                Warn(rectLine, "entry " + number + " is not shown, so its icon rectangle is not used");
            continue;
        }
        if (!rectLine) continue;
        if (r.right == r.left)
            Warn(rectLine, "the icon rectangle of entry " + number + " has zero width; setup treats it as absent");
        else if (r.right < r.left || r.bottom < r.top)
            Warn(rectLine, "the icon rectangle of entry " + number + " has a negative width or height; no click lands in it");
        else if (r.bottom == r.top)
            Warn(rectLine, "the icon rectangle of entry " + number + " has zero height; only one row of pixels answers clicks");
    }

    char first = config.preferredStart[0];
    if (first >= '2' && first <= '6' && !config.entries[first - '1'].command[0])
        Warn(LastLineOf(KeyKind::kPreferred, 0), std::string("the preferred start names entry ") + first +
                                                   ", which has no command: setup shows no menu and starts nothing");
}

// Says why setup would refuse the file.
void Checker::ExplainRefusal(const std::vector<Line>& lines, int headerIndex)
{
    if (headerIndex < 0) {
        std::string hint;
        for (const Line& line : lines)
            if (Lower(line.text).find(Lower(section_)) != std::string::npos) {
                hint = " (line " + std::to_string(line.number) + " has it in other letter case; headers are case-sensitive)";
                break;
            }
        if (utf16_) hint = " (the file is saved as UTF-16, \"Unicode\"; setup reads ANSI text only)";
        Fail(0, "no line contains the section header " + section_ + hint + "; setup refuses the file");
        return;
    }
    int startLine = LastLineOf(KeyKind::kCommand, 0);
    Fail(startLine ? startLine : headerLine_,
         std::string(startLine ? "the entry-1 command is empty" : "the section has no entry-1 command ('start = ...')") +
             "; setup refuses the file");
}

std::string ColorText(const ColorSpec& c)
{
    return std::to_string(c.red) + ", " + std::to_string(c.green) + ", " + std::to_string(c.blue);
}

std::string FontText(const FontSpec& font, bool defaultFace, const char* heightShare)
{
    std::string text = Quote(font.face) + (defaultFace ? " (default)" : "") + ", character set " + std::to_string(font.charset);
    text += ", height " + (font.height ? std::to_string(font.height) : std::string(heightShare) + " of the entry button");
    text += ", weight " + (font.weight ? std::to_string(font.weight) : std::string("of the installed font"));
    if (font.italic) text += ", italic";
    if (font.underline) text += ", underlined";
    return text;
}

void Checker::PrintSummary(const MenuConfig& config, std::ostream& out) const
{
    // An empty value leaves the default from setup's string table.
    auto fromFile = [&](KeyKind kind, int entry) {
        int key = KeyIndex(kind, entry);
        return LastLine(key) && !lastValues_[size_t(key)].empty();
    };
    out << "What setup will use (" << section_ << " at line " << headerLine_ << ", read to line " << lastSectionLine_ << "):\n";
    out << "  title: " << Quote(config.title) << "\n";
    char first = config.preferredStart[0];
    int preferred = first >= '1' && first <= '6' ? first - '0' : 1;
    if (!first || first == '0')
        out << "  start-up: the menu\n";
    else
        out << "  start-up: entry " << preferred << " starts at once, without the menu (setup /init shows the menu)\n";
    std::string hidden;
    for (int e = 0; e < kEntryCount; ++e) {
        const MenuEntry& entry = config.entries[e];
        if (e > 0 && !(entry.label[0] && entry.command[0])) {
            hidden += (hidden.empty() ? "" : ", ") + std::to_string(e + 1);
            continue;
        }
        out << "  entry " << e + 1 << ": " << Quote(entry.label) << (fromFile(KeyKind::kLabel, e) ? "" : " (default)") << "\n";
        out << "    help: " << Quote(entry.help) << "\n";
        out << "    command: " << Quote(entry.command) << "\n";
        const MenuRect& r = entry.iconRect;
        if (r.right == r.left)
            out << "    icon rectangle: none\n";
        else
            out << "    icon rectangle: left " << r.left << ", top " << r.top << ", right " << r.right << ", bottom "
                << r.bottom << "\n";
    }
    if (!hidden.empty()) out << "  entries not shown: " << hidden << "\n";
    out << "  browse: " << Quote(config.browseLabel) << (fromFile(KeyKind::kBrowse, 0) ? "" : " (default)")
        << (config.closeAfterBrowse ? "; the menu closes after browsing\n" : "; the menu stays open after browsing\n");
    out << "  exit: " << Quote(config.exitLabel) << (fromFile(KeyKind::kExit, 0) ? "" : " (default)") << "\n";
    out << "  after starting an entry: " << (config.exitAfterCall ? "the menu closes" : "the menu stays open") << "\n";
    out << "  texts: " << (IsLeftAligned(config.textAlign) ? "left-aligned" : "right-aligned") << ", title shadow "
        << (config.titleShadow ? "on" : "off") << "\n";
    out << "  colours: body text " << ColorText(config.bodyTextColor) << "; titles " << ColorText(config.titleColor)
        << "; highlight " << ColorText(config.hiliteColor) << "\n";
    // A font line without a face (", 0, -14") leaves the default face too.
    auto defaultFace = [&](int which) {
        int key = KeyIndex(KeyKind::kFont, which);
        const std::string& value = lastValues_[size_t(key)];
        return !LastLine(key) || value.substr(0, value.find(',')).empty();
    };
    out << "  label font: " << FontText(config.labelFont, defaultFace(0), "a third") << "\n";
    out << "  help font: " << FontText(config.helpFont, defaultFace(1), "a fifth") << "\n";
}

void Checker::PrintDiagnostics(std::ostream& out)
{
    std::stable_sort(diagnostics_.begin(), diagnostics_.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return (a.line ? a.line : 1 << 30) < (b.line ? b.line : 1 << 30); });
    for (const Diagnostic& d : diagnostics_) {
        out << name_;
        if (d.line) out << ":" << d.line;
        out << (d.error ? ": error: " : ": warning: ") << d.text << "\n";
    }
}

CheckVerdict Checker::Run(const std::string& fileBytes, std::ostream& out)
{
    utf16_ = fileBytes.compare(0, 2, "\xff\xfe") == 0 || fileBytes.compare(0, 2, "\xfe\xff") == 0;
    size_t mark = fileBytes.find(kEndOfFileMark);
    std::string bytes = fileBytes.substr(0, mark);
    if (mark != std::string::npos) CheckEndOfFileMark(fileBytes, mark);

    // setup's own reader on the same bytes.
    MenuConfig config;
    checkedSection = section_;
    FILE* file = tmpfile();
    bool read = false;
    if (file) {
        fwrite(bytes.data(), 1, bytes.size(), file);
        rewind(file);
        read = ReadMenuConfigFrom(file, config);
        fclose(file);
    }

    std::vector<Line> lines = SplitLines(bytes);
    int headerIndex = -1;
    for (size_t i = 0; i < lines.size() && headerIndex < 0; ++i)
        if (lines[i].text.find(section_) != std::string::npos) headerIndex = int(i);
    size_t end = lines.size();
    if (headerIndex >= 0) {
        const Line& header = lines[size_t(headerIndex)];
        headerLine_ = header.number;
        lastSectionLine_ = headerLine_;
        std::string headerText = header.text.compare(0, 3, kUtf8Mark) == 0 ? header.text.substr(3) : header.text;
        if (Trim(headerText) != section_)
            Warn(headerLine_, "the header " + section_ + " stands inside a longer line; setup still starts the section here");
        for (end = size_t(headerIndex) + 1; end < lines.size(); ++end) {
            const Line& line = lines[end];
            if (line.zeroFirst) {
                Warn(line.number, "a zero byte at the start of the line ends the section for setup");
                break;
            }
            if (!line.text.empty() && line.text[0] == '[') break;
            CheckSectionLine(line);
            lastSectionLine_ = line.number;
        }
    }
    for (size_t i = 0; i < lines.size(); ++i)
        if (int(i) != headerIndex && (headerIndex < 0 || int(i) < headerIndex || i >= end))
            CheckOutsideLine(lines[i], end < lines.size() ? lines[end].number : 0);

    if (!utf8Lines_.empty()) {
        size_t others = utf8Lines_.size() - 1;
        std::string more = others ? " (and " + std::to_string(others) + (others == 1 ? " more line)" : " more lines)") : "";
        Warn(utf8Lines_[0], "UTF-8 text" + more + ": setup reads the system's ANSI code page (such as Windows-1252), "
                                                  "where each such character shows as two or more others; save the file "
                                                  "in that code page");
    }
    if (read)
        CheckSettings(config);
    else
        ExplainRefusal(lines, headerIndex);

    out << "File: " << name_ << "\n";
    if (read)
        PrintSummary(config, out);
    else
        out << "setup refuses this file: it ends at once, without a menu (exit code -1)\n";
    PrintDiagnostics(out);

    size_t warnings = size_t(std::count_if(diagnostics_.begin(), diagnostics_.end(), [](const Diagnostic& d) { return !d.error; }));
    CheckVerdict verdict = !read ? kRefused : warnings ? kHasWarnings : kRunsAsMeant;
    if (verdict == kRefused)
        out << "Result: setup refuses the file\n";
    else if (verdict == kHasWarnings)
        out << "Result: " << warnings << (warnings == 1 ? " warning" : " warnings") << "\n";
    else
        out << "Result: setup runs as the file says\n";
    return verdict;
}

}  // namespace

const std::vector<MenuKey>& MenuKeys()
{
    static const std::vector<MenuKey> keys = BuildKeys();
    return keys;
}

int FindMenuKey(const std::string& line)
{
    const std::vector<MenuKey>& keys = MenuKeys();
    for (size_t k = 0; k < keys.size(); ++k)
        if (line.find(keys[k].text) != std::string::npos) return int(k);
    return -1;
}

CheckVerdict CheckAutorunText(const std::string& bytes, const std::string& name, const std::string& section,
                              std::ostream& out)
{
    Checker checker(name, section);
    return checker.Run(bytes, out);
}

CheckVerdict CheckAutorunFile(const std::string& path, const std::string& section, std::ostream& out)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    bool readable = file != nullptr;
    if (file) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
        readable = !ferror(file);
        fclose(file);
    }
    if (!readable) {
        out << path << ": error: cannot read the file; setup refuses a missing or unreadable autorun.inf\n"
            << "Result: setup refuses the file\n";
        return kRefused;
    }
    return CheckAutorunText(bytes, path, section, out);
}
