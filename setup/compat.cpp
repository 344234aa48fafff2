#include "compat.h"

#include <windows.h>

#include <string.h>

#include "framework/guards.h"
#include "framework/text.h"

namespace {

const char kAssistantKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Compatibility Assistant";
const char kExcludeValue[] = "ExecutablesToExclude";
const DWORD kListLimit = 8192;
const int kMaxEntries = 25;

// Creates `leaf` under the open key `parent`.
void CreateLeaf(HKEY parent, const char* leaf)
{
    HKEY created = nullptr;
    if (RegCreateKeyA(parent, leaf, &created) == ERROR_SUCCESS) RegCloseKey(created);
}

void StoreList(HKEY key, const char* list, DWORD size)
{
    RegSetValueExA(key, kExcludeValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list), size);
}

}  // namespace

bool IsNt6OrLater()
{
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", 0, KEY_READ,
                      key.Out()) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    if (RegQueryValueExA(key, "CurrentVersion", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return false;
    // A longer value than the buffer reads as no version.
    char version[100] = "";
    size = sizeof version - 1;
    if (RegQueryValueExA(key, "CurrentVersion", nullptr, nullptr, reinterpret_cast<BYTE*>(version), &size) !=
        ERROR_SUCCESS)
        version[0] = 0;
    return strcmp(version, "6.0") >= 0;
}

void EnsureRegistryKeyPath(const char* keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return;
    }
    long split = TextFindLast(keyPath, '\\');
    char parentPath[MAX_PATH];
    if (split < 0 || !TextCopyN(parentPath, MAX_PATH, keyPath, size_t(split))) return;
    const char* leaf = keyPath + split + 1;

    ScopedRegKey parent;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parentPath, 0, KEY_WRITE, parent.Out()) != ERROR_SUCCESS) {
        EnsureRegistryKeyPath(parentPath);
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parentPath, 0, KEY_WRITE, parent.Out()) != ERROR_SUCCESS) return;
    }
    CreateLeaf(parent, leaf);
}

void ExcludeFromCompatibilityAssistant(const char* programPath)
{
    EnsureRegistryKeyPath(kAssistantKey);
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAssistantKey, 0, KEY_WRITE | KEY_QUERY_VALUE, key.Out()) !=
        ERROR_SUCCESS)
        return;

    DWORD pathSize = DWORD(TextLength(programPath)) + 1;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, kExcludeValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        // No list yet: the path alone, closed by an extra zero.
        char list[MAX_PATH + 1] = "";
        if (pathSize > MAX_PATH) return;
        TextCopy(list, MAX_PATH, programPath);
        StoreList(key, list, pathSize + 1);
        return;
    }
    if (size >= kListLimit) return;

    // The buffer is zero-filled beyond what is read, so every string ends.
    ScopedHeapBlock block(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kListLimit));
    if (!block.Valid()) return;
    char* list = static_cast<char*>(block.Get());
    if (RegQueryValueExA(key, kExcludeValue, nullptr, &type, reinterpret_cast<BYTE*>(list), &size) !=
        ERROR_SUCCESS)
        return;

    char* end = list + size;
    char* at = list;
    char* second = nullptr;
    int count = 0;
    while (at < end && *at) {
        if (lstrcmpiA(at, programPath) == 0) return;
        ++count;
        at += TextLength(at) + 1;
        if (count == 1) second = at;
    }
    // The path, its zero and the closing zero must fit in the buffer.
    if (DWORD(at - list) + pathSize + 1 > kListLimit) return;
    TextCopy(at, pathSize, programPath);
    at[pathSize] = 0;
    char* listEnd = at + pathSize + 1;
    const char* stored = count >= kMaxEntries ? second : list;
    StoreList(key, stored, DWORD(listEnd - stored));
}
