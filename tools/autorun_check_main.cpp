// autorun-check: checks a disc's autorun.inf the way setup.exe reads it.
#include <string.h>

#include <iostream>
#include <string>

#include "tools/autorun_check.h"

namespace {

const char kUsage[] = "Usage: autorun-check [--section NAME] FILE\n";

const char kHelp[] =
    "\n"
    "Reads FILE, a disc's autorun.inf, with the disc menu's own settings reader\n"
    "and prints what setup.exe will use: the title, the start-up (menu or\n"
    "preferred entry), each shown entry with its label, help text, command and\n"
    "icon rectangle, the browse and exit entries, the flags, colours and fonts.\n"
    "Then, as FILE:LINE: warning: ..., every line that setup ignores or reads\n"
    "differently from how it looks (a key without its blank before '=', an\n"
    "unknown key, a key not at the start of its line, an over-long line, a\n"
    "number that does not fit its field, an entry with a label but no command\n"
    "or the reverse, an icon rectangle of zero width, keys outside the section),\n"
    "and as errors what makes setup refuse the file.\n"
    "\n"
    "Options:\n"
    "  --section NAME  the section header that setup looks for (default\n"
    "                  [Vendrel]; the brackets may be left out)\n"
    "  --help          show this text\n"
    "\n"
    "Exit status: 0 setup runs as the file says, 1 warnings, 2 setup refuses\n"
    "the file (no file, no section, no entry-1 command), 3 wrong usage.\n";

int Usage(const char* problem)
{
    std::cerr << "autorun-check: " << problem << "\n" << kUsage << "Try 'autorun-check --help'.\n";
    return 3;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string section = "[Vendrel]";
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            std::cout << kUsage << kHelp;
            return 0;
        }
        if (strcmp(argv[i], "--section") == 0) {
            if (++i == argc || !argv[i][0]) return Usage("--section needs a name");
            section = argv[i];
            if (section[0] != '[') section = "[" + section + "]";
        } else if (argv[i][0] == '-' && argv[i][1]) {
            return Usage((std::string("unknown option ") + argv[i]).c_str());
        } else if (file) {
            return Usage("only one FILE can be checked at a time");
        } else {
            file = argv[i];
        }
    }
    if (!file) return Usage("no FILE given");
    return CheckAutorunFile(file, section, std::cout);
}
