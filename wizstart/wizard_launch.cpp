// Finding Java and the wizard files, starting the wizard, tidying up after it.
#include "framework/text.h"
#include "helpers.h"
#include "launch/interactive_process.h"
#include "launcher.h"

namespace {

const wchar_t kJavaKey[] = L"SOFTWARE\\JavaSoft\\Java Runtime Environment";
const wchar_t kArchiveName[] = L"\\archive.jar";
const wchar_t kSplashName[] = L"\\archive.gif";
const wchar_t kJavaProgram[] = L"\\bin\\javaw.exe";
const int kJarResource = 1000;

}  // namespace

bool LaunchDialog::ResolveJavaHome(LaunchState& state)
{
    // The runtime the registry names as current, whatever its version.
    wchar_t version[50];
    wchar_t versionKey[MAX_PATH];
    wchar_t javaProgram[MAX_PATH];
    bool found = ReadMachineText(kJavaKey, L"CurrentVersion", version, 50) &&
                 TextConcat(versionKey, MAX_PATH, kJavaKey, L"\\", static_cast<const wchar_t*>(version)) &&
                 ReadMachineText(versionKey, L"JavaHome", state.runtimeFolder, MAX_PATH) &&
                 TextConcat(javaProgram, MAX_PATH, static_cast<const wchar_t*>(state.runtimeFolder), kJavaProgram) &&
                 FileExists(javaProgram);
    if (!found) ShowLaunchMessage(1);
    return found;
}

bool LaunchDialog::PrepareWizardFiles(LaunchState& state)
{
    TextConcat(state.jarPath, MAX_PATH, static_cast<const wchar_t*>(programFolder), kArchiveName);
    TextConcat(state.splashPath, MAX_PATH, static_cast<const wchar_t*>(programFolder), kSplashName);
    state.wizardFilesExtracted = false;
    state.splashExtracted = false;
    state.wizardTempFolder[0] = 0;

    // A carried archive goes into a new tick folder of this run's own, and the
    // picture with it. When that folder or the file cannot be made, the archive
    // is missing: whatever lies at that path is never used.
    ResourceBytes jar;
    bool carried = FindProgramResource(MAKEINTRESOURCEW(kJarResource), MAKEINTRESOURCEW(10), &jar);
    if (carried) {
        wchar_t folder[MAX_PATH];
        bool made = MakeTickFolder(folder);
        if (folder[0]) TextConcat(state.jarPath, MAX_PATH, static_cast<const wchar_t*>(folder), kArchiveName);
        if (made) {
            TextCopy(state.wizardTempFolder, MAX_PATH, static_cast<const wchar_t*>(folder));
            state.wizardFilesExtracted = WriteResourceToFile(jar, state.jarPath);
        }
    }
    if (carried ? !state.wizardFilesExtracted : !FileExists(state.jarPath)) {
        ShowLaunchMessage(2, state.jarPath);
        return false;
    }

    // The picture comes from the resources only together with the archive.
    ResourceBytes splash;
    wchar_t splashCopy[MAX_PATH];
    if (state.wizardFilesExtracted && FindProgramResource(L"ARCHIVE", L"GIF", &splash) &&
        TextConcat(splashCopy, MAX_PATH, static_cast<const wchar_t*>(state.wizardTempFolder), kSplashName)) {
        TextCopy(state.splashPath, MAX_PATH, static_cast<const wchar_t*>(splashCopy));
        state.splashExtracted = WriteResourceToFile(splash, state.splashPath);
    }
    return true;
}

bool LaunchDialog::BuildWizardCommandLine(const LaunchState& state, wchar_t* javaProgram, wchar_t* wizardArguments)
{
    // A command line that does not fit is refused, never cut; so is a Java
    // home that is unknown, which would name a program at a drive's root.
    if (!state.runtimeFolder[0] ||
        !TextConcat(javaProgram, MAX_PATH, static_cast<const wchar_t*>(state.runtimeFolder), kJavaProgram))
        return false;
    wizardArguments[0] = 0;
    if (FileExists(state.splashPath) &&
        !TextConcat(wizardArguments, MAX_PATH, L"-splash:\"", static_cast<const wchar_t*>(state.splashPath), L"\" "))
        return false;
    return TextAppend(wizardArguments, MAX_PATH, L"-jar \"") &&
           TextAppend(wizardArguments, MAX_PATH, static_cast<const wchar_t*>(state.jarPath)) &&
           TextAppend(wizardArguments, MAX_PATH, L"\"") &&
           TextAppend(wizardArguments, MAX_PATH, static_cast<const wchar_t*>(argumentText));
}

DWORD LaunchDialog::StartWizard(const wchar_t* javaProgram, wchar_t* wizardArguments)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.wShowWindow = SW_SHOW;
    // A wizard that cannot be started is treated like one that has ended.
    return StartInteractiveProcess(javaProgram, wizardArguments, &startup, TRUE, FALSE) ? ERROR_SUCCESS
                                                                                        : GetLastError();
}

void LaunchDialog::RemoveWizardFiles(LaunchState& state)
{
    DeleteFileW(state.jarPath);
    if (state.splashExtracted) DeleteFileW(state.splashPath);
    RemoveDirectoryW(state.wizardTempFolder);
}
