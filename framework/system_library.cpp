#include "system_library.h"

#include "framework/text.h"

void RestrictDllSearchToSystem()
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryFunction)(LPCSTR);
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    if (!kernel32) return;
    auto setDefault = AsFunction<SetDefaultDllDirectoriesFunction>(GetProcAddress(kernel32, "SetDefaultDllDirectories"));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    auto setDirectory = AsFunction<SetDllDirectoryFunction>(GetProcAddress(kernel32, "SetDllDirectoryA"));
    if (setDirectory) setDirectory("");
}

namespace {

struct WideCalls {
    static UINT SystemDirectory(wchar_t* out, UINT capacity) { return GetSystemDirectoryW(out, capacity); }
    static HMODULE Load(const wchar_t* path) { return LoadLibraryW(path); }
    static constexpr wchar_t kSeparator[] = L"\\";
};
struct NarrowCalls {
    static UINT SystemDirectory(char* out, UINT capacity) { return GetSystemDirectoryA(out, capacity); }
    static HMODULE Load(const char* path) { return LoadLibraryA(path); }
    static constexpr char kSeparator[] = "\\";
};

template <class Calls, class C>
bool SystemFolderPath(const C* name, C* out)
{
    C folder[MAX_PATH];
    UINT length = Calls::SystemDirectory(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH &&
           TextConcat(out, MAX_PATH, static_cast<const C*>(folder), Calls::kSeparator, name);
}

template <class Calls, class C>
HMODULE LoadFromSystemFolder(const C* name)
{
    C path[MAX_PATH];
    return SystemFolderPath<Calls>(name, path) ? Calls::Load(path) : nullptr;
}

}  // namespace

bool SystemProgramPath(const wchar_t* name, wchar_t* out)
{
    return SystemFolderPath<WideCalls>(name, out);
}

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    return LoadFromSystemFolder<WideCalls>(name);
}

HMODULE LoadSystemLibrary(const char* name)
{
    return LoadFromSystemFolder<NarrowCalls>(name);
}
