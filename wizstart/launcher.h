// The launcher's application object, its launch dialog (which doubles as the
// splash window) and the state shared by the steps of one launch.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include "framework/app.h"
#include "framework/dialog.h"

class AnimatedGif;

// Shared by the steps of one run of RunLaunchSequence.
struct LaunchState {
    bool privateRuntimePresent;
    wchar_t runtimeFolder[MAX_PATH];      // Java home, no trailing backslash
    bool javaInstalledNow;
    bool wizardFilesExtracted;
    wchar_t wizardTempFolder[MAX_PATH];   // empty when nothing was extracted
    wchar_t jarPath[MAX_PATH];
    wchar_t splashPath[MAX_PATH];
    bool splashExtracted;                 // splashPath was written into wizardTempFolder
    wchar_t savedFolder[MAX_PATH];        // current folder before the wizard
};

// The launcher's own folder, from the running program's path (as
// GetModuleFileNameW gives it, never as the starter wrote it) up to its last
// backslash, and its arguments (the elements after the first of its command
// line, as CommandLineToArgvW gives them), each as a blank and the element in
// double quotes. False when the folder or the arguments do not fit: such a
// launch is refused, never cut.
bool ParseLauncherArguments(const wchar_t* programPath, const wchar_t* const* argv, int argc,
                            wchar_t* programFolder /* MAX_PATH */,
                            wchar_t* argumentText /* MAX_PATH */);

class LaunchDialog : public Dialog {
public:
    LaunchDialog();

    wchar_t programFolder[MAX_PATH];
    wchar_t argumentText[MAX_PATH];
    HICON icon;
    AnimatedGif* splash;

    void CenterOnScreen();
    // Shows message `number` of the string table, "%1" replaced by `argument`,
    // and returns when the user has closed it.
    void ShowLaunchMessage(UINT number, const wchar_t* argument = nullptr);
    // Shows the system's own text for a Windows error code (a launch refused
    // because its command line does not fit) and returns when it was closed.
    void ShowLaunchError(DWORD error);
    // The launch steps in their order; returns when the wizard has ended or a
    // step has ended the sequence with its message.
    virtual void RunLaunchSequence();
    // Hands the launcher's folder to the folder-removal program.
    virtual void RunUninstallMode();

protected:
    BOOL OnInitDialog() override;
    bool OnPaint() override;
    bool OnEraseBackground(HDC dc, LRESULT* result) override;
    HICON OnQueryDragIcon() override;

private:
    // The splash picture: shown in this window when the program carries one.
    void ShowSplash();
    void PauseSplash(bool pause);

    // Steps of the launch sequence. Those returning bool end the sequence with false.
    void ExtractPrivateRuntime(LaunchState& state);
    void InstallJavaRuntime(LaunchState& state);
    bool ResolveJavaHome(LaunchState& state);
    bool PrepareWizardFiles(LaunchState& state);
    bool BuildWizardCommandLine(const LaunchState& state, wchar_t* javaProgram, wchar_t* wizardArguments);
    void RegisterDeferredCleanup(LaunchState& state);
    // ERROR_SUCCESS once the wizard has ended, or why it could not be started.
    DWORD StartWizard(const wchar_t* javaProgram, wchar_t* wizardArguments);
    void StoreJavaInstallerWithProduct(LaunchState& state);
    void RemovePrivateRuntime(LaunchState& state);
    void RemoveWizardFiles(LaunchState& state);
    void RemoveTemporaryJava(LaunchState& state);
};

class LauncherApp : public Application {
public:
    LauncherApp();
    bool InitInstance() override;
    int ExitInstance() override;

private:
    Gdiplus::GdiplusStartupInput gdiplusInput_;
    ULONG_PTR gdiplusToken_;
    // The launch dialog lives here from start-up until the process ends.
    alignas(LaunchDialog) unsigned char dialogStorage_[sizeof(LaunchDialog)];
};
