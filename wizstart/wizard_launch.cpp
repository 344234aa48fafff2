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

    // Both copies go into the folder named by one tick text.
    wchar_t tick[kTickTextSize];
    TickText(tick);
    ResourceBytes jar;
    if (FindProgramResource(MAKEINTRESOURCEW(kJarResource), MAKEINTRESOURCEW(10), &jar) &&
        MakeTickFolder(tick, state.wizardTempFolder) &&
        TextConcat(state.jarPath, MAX_PATH, static_cast<const wchar_t*>(state.wizardTempFolder), kArchiveName))
        state.wizardFilesExtracted = WriteResourceToFile(jar, state.jarPath);

    if (!FileExists(state.jarPath)) {
        ShowLaunchMessage(2, state.jarPath);
        return false;
    }

    // The picture comes from the resources only together with the archive.
    ResourceBytes splash;
    wchar_t splashCopy[MAX_PATH];
    if (state.wizardFilesExtracted && FindProgramResource(L"ARCHIVE", L"GIF", &splash) &&
        MakeTickFolder(tick, state.wizardTempFolder) &&
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

void LaunchDialog::StartWizard(const wchar_t* javaProgram, wchar_t* wizardArguments)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.wShowWindow = SW_SHOW;
    // A wizard that cannot be started is treated like one that has ended.
    StartInteractiveProcess(javaProgram, wizardArguments, &startup, TRUE, FALSE);
}

void LaunchDialog::RemoveWizardFiles(LaunchState& state)
{
    DeleteFileW(state.jarPath);
    if (state.splashExtracted) DeleteFileW(state.splashPath);
    RemoveDirectoryW(state.wizardTempFolder);
}
