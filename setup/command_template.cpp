#include "command_template.h"

#include <string.h>

#include "framework/text.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool StartsWithNoCase(const char* text, const char* prefix)
{
    for (; *prefix; ++text, ++prefix)
        if (Lower(*text) != Lower(*prefix)) return false;
    return true;
}

}  // namespace

const char* FindTextNoCase(const char* text, const char* wanted)
{
    for (; *text; ++text)
        if (StartsWithNoCase(text, wanted)) return text;
    return nullptr;
}

const char* FindExtension(const char* path)
{
    long dot = TextFindLast(path, '.');
    return dot < 0 ? nullptr : path + dot;
}

bool IsProgramExtension(const char* extension)
{
    const char* programs[] = {".exe", ".bat", ".com"};
    for (const char* p : programs)
        if (StartsWithNoCase(extension, p) && extension[4] == 0) return true;
    return false;
}

bool SplitCommandTemplate(const char* commandTemplate, char* program, char* arguments)
{
    program[0] = 0;
    arguments[0] = 0;
    const char* programStart = commandTemplate;
    const char* programEnd = nullptr;
    const char* rest = nullptr;
    if (commandTemplate[0] == '"') {
        programStart = commandTemplate + 1;
        programEnd = strchr(programStart, '"');
        if (programEnd) rest = programEnd + 1;
    } else {
        const char* exe = FindTextNoCase(commandTemplate, ".exe");
        if (exe) {
            programEnd = exe + 4;
            rest = programEnd[0] == ' ' ? programEnd + 1 : programEnd;
        }
    }
    if (!programEnd || programEnd == programStart) return false;
    if (!TextCopyN(program, kCommandSize, programStart, size_t(programEnd - programStart)) ||
        !TextCopy(arguments, kCommandSize, rest)) {
        program[0] = 0;
        arguments[0] = 0;
        return false;
    }
    return true;
}

bool FillDocumentArguments(char* arguments, const char* document)
{
    char filled[kCommandSize];
    if (!strstr(arguments, "%1")) {
        // Without a placeholder the arguments are only the document.
        if (!TextConcat(filled, kCommandSize, " ", document)) return false;
    } else {
        char quoted[kCommandSize];
        if (strstr(arguments, "\"%1\"")) {
            TextCopy(quoted, kCommandSize, static_cast<const char*>(arguments));
        } else if (!TextConcat(quoted, kCommandSize, "\"", static_cast<const char*>(arguments), "\"")) {
            return false;
        }
        const char* placeholder = strstr(quoted, "%1");
        char before[kCommandSize];
        TextCopyN(before, kCommandSize, static_cast<const char*>(quoted), size_t(placeholder - quoted));
        if (!TextConcat(filled, kCommandSize, static_cast<const char*>(before), document, placeholder + 2))
            return false;
    }
    TextCopy(arguments, kCommandSize, static_cast<const char*>(filled));
    return true;
}

bool QuoteProgramPath(char* program)
{
    if (program[0] == '"' || !strchr(program, ' ')) return true;
    char quoted[kCommandSize];
    if (!TextConcat(quoted, kCommandSize, "\"", static_cast<const char*>(program), "\"")) return false;
    TextCopy(program, kCommandSize, static_cast<const char*>(quoted));
    return true;
}
