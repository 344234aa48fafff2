#include "startup.h"

#include <shellapi.h>
#include <string.h>

#include "command.h"
#include "compat.h"
#include "config.h"
#include "framework/text.h"
#include "launch/interactive_process.h"
#include "menu_dialog.h"
#include "resource.h"

HINSTANCE moduleInstance;
int showCommand;
int osFamily;
char programFolder[MAX_PATH];
HANDLE singleInstanceMutex;

namespace {

const char kMutexName[] = "Vendrel_AutoRun";

// The entry that a preferred start names: "1" to "6" by its first character,
// anything else entry 1.
int PreferredEntry(const char* preferredStart)
{
    char first = preferredStart[0];
    return first >= '1' && first <= '6' ? IDC_ENTRY1 + (first - '1') : IDC_ENTRY1;
}

// Brings the first top-level dialog captioned `title` to the front.
void BringMenuToFront(const char* title)
{
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window; window = GetWindow(window, GW_HWNDNEXT)) {
        char caption[256] = "", className[256] = "";
        GetWindowTextA(window, caption, sizeof caption);
        GetClassNameA(window, className, sizeof className);
        if (strcmp(caption, title) == 0 && strcmp(className, "#32770") == 0) {
            SetForegroundWindow(window);
            return;
        }
    }
}

}  // namespace

int OsFamily()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return 0;
    switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32s: return 1;
    case VER_PLATFORM_WIN32_WINDOWS: return 3;
    case VER_PLATFORM_WIN32_NT: return version.dwMajorVersion >= 4 ? 4 : 0;
    default: return 0;
    }
}

bool EnsureSingleInstance()
{
    HANDLE other = OpenMutexA(MUTEX_ALL_ACCESS, TRUE, kMutexName);
    if (!other) {
        singleInstanceMutex = CreateMutexA(nullptr, FALSE, kMutexName);
        // Two copies starting at once: the one that did not create it yields.
        if (!singleInstanceMutex || GetLastError() != ERROR_ALREADY_EXISTS) return true;
        other = singleInstanceMutex;
        singleInstanceMutex = nullptr;
    }
    CloseHandle(other);
    BringMenuToFront(menuConfig.title);
    return false;
}

void LaunchMenuEntry(int entry, const char* folder)
{
    if (entry < 1 || entry > kEntryCount) return;
    const char* command = menuConfig.entries[entry - 1].command;
    // "D:\" and "\bin\tool.exe" join as "D:\bin\tool.exe".
    char base[MAX_PATH];
    size_t baseLength = TextLength(folder);
    if (command[0] == '\\' && baseLength > 0) --baseLength;
    char path[MAX_PATH];
    // A path that does not fit is not started at all, rather than cut.
    if (!TextCopyN(base, MAX_PATH, folder, baseLength) || !TextConcat(path, MAX_PATH, base, command)) return;

    char arguments[MAX_PATH] = "";
    ResolveProgramCommand(path, arguments);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = WORD(showCommand);
    StartInteractiveProcess(path, arguments, &startup, FALSE);
}

void BrowseDisc(const char* folder)
{
    ShellExecuteA(GetDesktopWindow(), nullptr, folder, nullptr, folder, SW_SHOWNORMAL);
}

int RunSetup(HINSTANCE instance, const char* commandTail, int show)
{
    moduleInstance = instance;
    showCommand = show;
    osFamily = OsFamily();
    bool showMenu = (osFamily == 3 || osFamily == 4) && commandTail && strstr(commandTail, "/init");

    char ownPath[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return -1;
    if (IsNt6OrLater()) ExcludeFromCompatibilityAssistant(ownPath);

    long lastBackslash = TextFindLast(ownPath, '\\');
    if (lastBackslash < 0) return -1;
    TextCopyN(programFolder, MAX_PATH, ownPath, size_t(lastBackslash) + 1);

    if (!ReadMenuConfig(programFolder)) return -1;

    INT_PTR result = IDC_ENTRY1;
    const char* preferred = menuConfig.preferredStart;
    if (preferred[0] == 0 || preferred[0] == '0')
        showMenu = true;
    else if (!showMenu)
        result = PreferredEntry(preferred);

    if (showMenu) {
        if (!EnsureSingleInstance()) return -1;
        result = DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(IDD_MENU), nullptr, MenuDialogProc, 0);
    }

    if (result >= IDC_ENTRY1 && result <= IDC_ENTRY6)
        LaunchMenuEntry(int(result - IDD_MENU), programFolder);
    else if (result == IDC_BROWSE)
        BrowseDisc(programFolder);

    if (singleInstanceMutex) {
        CloseHandle(singleInstanceMutex);
        singleInstanceMutex = nullptr;
    }
    return 0;
}
