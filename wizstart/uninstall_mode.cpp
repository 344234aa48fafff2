// Uninstall mode: the launcher cannot remove the folder it runs from, so it
// hands that folder to the folder-removal program it carries and ends.
#include "framework/text.h"
#include "helpers.h"
#include "launch/interactive_process.h"
#include "launcher.h"

void LaunchDialog::RunUninstallMode()
{
    ResourceBytes program;
    wchar_t temp[MAX_PATH];
    wchar_t target[MAX_PATH];
    wchar_t commandLine[MAX_PATH];
    if (!FindProgramResource(MAKEINTRESOURCEW(1000), L"RT_EXE", &program) || !GetSystemTempFolder(temp) ||
        !TextConcat(target, MAX_PATH, static_cast<const wchar_t*>(temp), L"\\dirsweep.exe") ||
        !TextCopy(commandLine, MAX_PATH, static_cast<const wchar_t*>(programFolder)))
        return;
    // Anyone may put files into the system Temp folder, and this launcher runs
    // with administrator rights: never start a "dirsweep.exe" found there, always
    // the one carried here, written as a new file with an access list that keeps
    // others out. If it cannot be written so, the folder stays.
    DeleteFileW(target);
    if (!WriteResourceToPrivateFile(program, target)) return;

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    StartInteractiveProcess(target, commandLine, &startup, FALSE, TRUE);
}
