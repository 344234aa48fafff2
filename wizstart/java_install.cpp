// Installing a Java runtime before the wizard when the registered one is too
// old, keeping the installer with the installed product, and removing a Java 6
// runtime that this run installed.
#include <shlwapi.h>

#include "framework/guards.h"
#include "framework/system_library.h"
#include "framework/text.h"
#include "helpers.h"
#include "launch/interactive_process.h"
#include "launcher.h"

namespace {

const wchar_t kJavaKey[] = L"SOFTWARE\\JavaSoft\\Java Runtime Environment";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kInstallerName[] = L"\\JRE.exe";
// The installer's options, "&quot;" and all, as the installers expect them.
const wchar_t kInstallerArguments[] =
    L"/v/qn&quot;ADDLOCAL=jrecore,extra IEXPLORER=1 NETSCAPE6=1 MOZILLA=1 WEBSTARTICON=0&quot;";
const int kInstallerResource = 3000;
const UINT kUninstallKeyNameMessage = 4;

// The registered runtime is 1.6 or newer: its version text's first three
// characters compare equal to or greater than "1.6" (so "10" passes, "1" does not).
bool RegisteredJavaIsNewEnough()
{
    wchar_t version[50];
    return ReadMachineText(kJavaKey, L"CurrentVersion", version, 50) && wcsncmp(version, L"1.6", 3) >= 0;
}

// Runs an installer with the installer's options and waits for it.
bool RunJavaInstaller(const wchar_t* installer)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    wchar_t arguments[MAX_PATH];
    TextCopy(arguments, MAX_PATH, kInstallerArguments);
    return StartInteractiveProcess(installer, arguments, &startup, TRUE, FALSE) != FALSE;
}

bool FindInstallerResource(ResourceBytes* bytes)
{
    return FindProgramResource(MAKEINTRESOURCEW(kInstallerResource), MAKEINTRESOURCEW(10), bytes);
}

// The folder of the installed product's uninstall program, from its
// "UninstallString" in the 32-bit view. False when there is none.
bool FindProductUninstallFolder(wchar_t* folder /* MAX_PATH */)
{
    wchar_t keyName[100];
    wchar_t key[MAX_PATH];
    if (!LoadAppString(kUninstallKeyNameMessage, keyName, 100) ||
        !TextConcat(key, MAX_PATH, kUninstallKey, L"\\", static_cast<const wchar_t*>(keyName)))
        return false;
    ScopedRegKey product;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_32KEY, product.Out()) != ERROR_SUCCESS)
        return false;
    DWORD bytes = 0;
    if (RegQueryValueExW(product, L"UninstallString", nullptr, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return false;
    // Room for a terminator the stored text may lack.
    ScopedHeapBlock text(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes + 2 * sizeof(wchar_t)));
    if (!text.Valid() ||
        RegQueryValueExW(product, L"UninstallString", nullptr, nullptr, static_cast<BYTE*>(text.Get()), &bytes) !=
            ERROR_SUCCESS)
        return false;
    const wchar_t* path = static_cast<const wchar_t*>(text.Get());
    if (*path == L'"') ++path;  // a quoted path is the same path
    long cut = TextFindLast(path, L'\\');
    // Without a folder the installer would land at the root of a drive.
    return cut > 0 && TextCopyN(folder, MAX_PATH, path, size_t(cut));
}

}  // namespace

void LaunchDialog::InstallJavaRuntime(LaunchState& state)
{
    ResourceBytes installer;
    if (!RegisteredJavaIsNewEnough() && FindInstallerResource(&installer)) {
        // The carried installer runs from a new tick folder of this run's own in
        // the system Temp; without one it is skipped.
        wchar_t folder[MAX_PATH];
        wchar_t path[MAX_PATH];
        if (MakeTickFolder(folder) && TextConcat(path, MAX_PATH, static_cast<const wchar_t*>(folder), kInstallerName) &&
            WriteResourceToFile(installer, path)) {
            if (RunJavaInstaller(path)) state.javaInstalledNow = true;
            DeleteFileW(path);
            RemoveDirectoryW(folder);
        }
    }
    // The installer beside the launcher, unless the runtime is new enough by now.
    wchar_t beside[MAX_PATH];
    if (TextConcat(beside, MAX_PATH, static_cast<const wchar_t*>(programFolder), kInstallerName) && FileExists(beside) &&
        !RegisteredJavaIsNewEnough() && RunJavaInstaller(beside))
        state.javaInstalledNow = true;
}

void LaunchDialog::StoreJavaInstallerWithProduct(LaunchState&)
{
    // A launcher later started from the product's uninstall folder finds the
    // installer there, beside itself.
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    ResourceBytes installer;
    if (FindProductUninstallFolder(folder) && FindInstallerResource(&installer) &&
        TextConcat(path, MAX_PATH, static_cast<const wchar_t*>(folder), kInstallerName))
        WriteResourceToFile(installer, path);
}

void LaunchDialog::RemoveTemporaryJava(LaunchState&)
{
    HUSKEY uninstall;
    if (SHRegOpenUSKeyW(kUninstallKey, KEY_READ, nullptr, &uninstall, TRUE) != ERROR_SUCCESS) return;
    for (DWORD index = 0;; ++index) {
        wchar_t subkey[100];
        DWORD length = 100;
        if (SHRegEnumUSKeyW(uninstall, index, subkey, &length, SHREGENUM_HKLM) != ERROR_SUCCESS) break;
        wchar_t key[MAX_PATH];
        wchar_t name[100];
        if (!TextConcat(key, MAX_PATH, kUninstallKey, L"\\", static_cast<const wchar_t*>(subkey)) ||
            !ReadMachineText(key, L"DisplayName", name, 100) || wcsncmp(name, L"Java(TM) 6", 10) != 0)
            continue;
        // Only the first Java 6 entry is removed, silently, without waiting.
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.wShowWindow = SW_SHOW;
        // The system folder's Windows Installer by its full path: by its bare
        // name, an "msiexec.exe" planted in the system Temp folder (the child's
        // current folder) or beside the launcher would be found first.
        wchar_t program[MAX_PATH];
        wchar_t arguments[MAX_PATH];
        if (SystemProgramPath(L"msiexec.exe", program) &&
            TextConcat(arguments, MAX_PATH, L"/quiet /X", static_cast<const wchar_t*>(subkey)))
            StartInteractiveProcess(program, arguments, &startup, FALSE, TRUE);
        break;
    }
    SHRegCloseUSKey(uninstall);
}
