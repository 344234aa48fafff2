// Fuzz target (libFuzzer): arbitrary bytes as autorun.inf for the settings
// reader, and as a registered open command for the command-template steps.
// Built with the host preset, clang and -DSETUP_FUZZ=ON; scripts/fuzz-setup runs it.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "setup/command_template.h"
#include "setup/config.h"

size_t LoadResourceString(char* buffer, size_t size, unsigned id)
{
    const char* text = id == 3005 ? "[Vendrel]" : "Arial";
    size_t n = strlen(text) < size ? strlen(text) : size - 1;
    memcpy(buffer, text, n);
    buffer[n] = 0;
    return n;
}

void SelectMenuFonts() {}

namespace {

void CheckTerminated(const char* text, size_t size)
{
    if (!memchr(text, 0, size)) __builtin_trap();
}

void FuzzConfig(const uint8_t* data, size_t size)
{
    if (size == 0) return;
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!file) return;
    static MenuConfig config;
    ReadMenuConfigFrom(file, config);
    fclose(file);
    CheckTerminated(config.title, sizeof config.title);
    CheckTerminated(config.labelFont.face, sizeof config.labelFont.face);
    for (const MenuEntry& entry : config.entries) {
        CheckTerminated(entry.command, sizeof entry.command);
        CheckTerminated(entry.help, sizeof entry.help);
    }
}

void FuzzTemplate(const uint8_t* data, size_t size)
{
    char commandTemplate[kCommandSize];
    size_t n = size < kCommandSize - 1 ? size : kCommandSize - 1;
    memcpy(commandTemplate, data, n);
    commandTemplate[n] = 0;
    char program[kCommandSize], arguments[kCommandSize];
    if (!SplitCommandTemplate(commandTemplate, program, arguments)) return;
    QuoteProgramPath(program);
    FillDocumentArguments(arguments, "D:\\docs\\read me.txt");
    CheckTerminated(arguments, sizeof arguments);
    const char* extension = FindExtension(commandTemplate);
    if (extension) IsProgramExtension(extension);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzConfig(data, size);
    FuzzTemplate(data, size);
    return 0;
}
