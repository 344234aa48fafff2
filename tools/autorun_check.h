// autorun-check: tells a disc author what setup.exe makes of an autorun.inf.
//
// The file goes through setup's own settings reader (linked from the portable
// setup library), so the summary is what the menu will really use. Beside it a
// line scanner, which takes the lines exactly as that reader does, reports
// each line that setup ignores or reads differently from how it looks.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// The verdict, which is also the tool's exit status.
enum CheckVerdict {
    kRunsAsMeant = 0,  // nothing to report
    kHasWarnings = 1,  // setup runs, but some lines do not do what they seem to
    kRefused = 2,      // setup would end at once (no section, no entry-1 command, no file)
};

// What a key of the section sets.
enum class KeyKind { kAlign, kPreferred, kCommand, kTitle, kFont, kLabel, kHelp, kFlag, kBrowse, kExit, kColor, kRect };

struct MenuKey {
    std::string name;  // "start2"
    std::string text;  // "start2 =": what setup looks for in a line
    KeyKind kind;
    int entry;         // 0 to 5 for entry keys, else the font, flag or colour number
};

// The section's keys in the order setup tests them: the first whose text
// occurs anywhere in a line takes the line.
const std::vector<MenuKey>& MenuKeys();

// Index into MenuKeys() of the key that setup takes for this line, or -1.
int FindMenuKey(const std::string& line);

// Checks the bytes of an autorun.inf; `name` names the file in the report.
// `section` is the header line setup looks for, "[Vendrel]" in the shipped
// program. Writes the report to `out` and returns the verdict.
CheckVerdict CheckAutorunText(const std::string& bytes, const std::string& name, const std::string& section,
                              std::ostream& out);

// The same for a file; a file that cannot be read is refused.
CheckVerdict CheckAutorunFile(const std::string& path, const std::string& section, std::ostream& out);
