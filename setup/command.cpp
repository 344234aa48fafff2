#include "command.h"

#include <windows.h>

#include "command_template.h"
#include "framework/guards.h"
#include "framework/text.h"

namespace {

// The default value of a key under HKEY_CLASSES_ROOT, as text.
bool ReadClassesRootDefault(const char* keyName, char* value, DWORD capacity)
{
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName, 0, KEY_ALL_ACCESS, key.Out()) != ERROR_SUCCESS) return false;
    DWORD size = capacity - 1;
    DWORD type = 0;
    ZeroMemory(value, capacity);
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return false;
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// Replaces a leading "%SystemRoot%" (any case) with that variable's value.
bool ExpandSystemRoot(char* program)
{
    const char variable[] = "%SystemRoot%";
    const size_t length = sizeof variable - 1;
    if (FindTextNoCase(program, variable) != program) return true;
    char systemRoot[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("SystemRoot", systemRoot, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    char expanded[MAX_PATH];
    if (!TextConcat(expanded, MAX_PATH, static_cast<const char*>(systemRoot),
                    static_cast<const char*>(program + length)))
        return false;
    TextCopy(program, MAX_PATH, static_cast<const char*>(expanded));
    return true;
}

}  // namespace

void ResolveProgramCommand(char* path, char* arguments)
{
    arguments[0] = 0;
    const char* extension = FindExtension(path);
    if (!extension || IsProgramExtension(extension)) return;

    char typeName[MAX_PATH];
    if (!ReadClassesRootDefault(extension, typeName, MAX_PATH)) return;
    char commandKey[MAX_PATH];
    if (!TextConcat(commandKey, MAX_PATH, static_cast<const char*>(typeName), "\\shell\\open\\command")) return;
    char commandTemplate[MAX_PATH];
    if (!ReadClassesRootDefault(commandKey, commandTemplate, MAX_PATH)) return;

    char program[MAX_PATH], programArguments[MAX_PATH];
    if (!SplitCommandTemplate(commandTemplate, program, programArguments)) return;
    if (!ExpandSystemRoot(program) || !QuoteProgramPath(program)) return;
    if (!FillDocumentArguments(programArguments, path)) return;

    TextCopy(path, MAX_PATH, static_cast<const char*>(program));
    TextCopy(arguments, MAX_PATH, static_cast<const char*>(programArguments));
}
