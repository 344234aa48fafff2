#include "launcher.h"

#include <new>
#include <shellapi.h>

#include "animated_gif.h"
#include "framework/text.h"
#include "helpers.h"
#include "resource.h"

bool ParseLauncherArguments(const wchar_t* programPath, const wchar_t* const* argv, int argc, wchar_t* programFolder,
                            wchar_t* argumentText)
{
    programFolder[0] = 0;
    argumentText[0] = 0;
    long cut = TextFindLast(programPath, L'\\');
    if (cut < 0 || !TextCopyN(programFolder, MAX_PATH, programPath, size_t(cut))) return false;
    // Each argument as it came, in double quotes; a quote inside is not escaped.
    for (int i = 1; i < argc; ++i) {
        wchar_t quoted[MAX_PATH];
        if (!TextConcat(quoted, MAX_PATH, L" \"", argv[i], L"\"") || !TextAppend(argumentText, MAX_PATH, quoted)) {
            argumentText[0] = 0;
            return false;
        }
    }
    return true;
}

LaunchDialog::LaunchDialog() : Dialog(IDD_LAUNCH), icon(nullptr), splash(nullptr)
{
    programFolder[0] = 0;
    argumentText[0] = 0;
    icon = LoadIconW(AppResourceHandle(), MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
}

void LaunchDialog::CenterOnScreen()
{
    RECT r;
    GetWindowRect(Window(), &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    MoveWindow(Window(), (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
               width, height, TRUE);
}

BOOL LaunchDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    HWND window = Window();
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    CenterOnScreen();

    // Every pure black pixel of the window is see-through.
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, RGB(0, 0, 0), 0, LWA_COLORKEY);

    if (FindResourceW(AppResourceHandle(), L"ARCHIVE", L"GIF"))
        ShowSplash();
    else
        ShowWindow(window, SW_HIDE);

    // Decided before the sequence, so that a wizard which creates or deletes the
    // marker does not change the mode of this run.
    wchar_t marker[MAX_PATH];
    bool uninstallMode = TextConcat(marker, MAX_PATH, static_cast<const wchar_t*>(programFolder), L"\\uninstall.dat") &&
                         FileExists(marker);
    RunLaunchSequence();
    if (uninstallMode) RunUninstallMode();
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

bool LaunchDialog::OnPaint()
{
    HWND window = Window();
    if (!IsIconic(window)) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon);
    EndPaint(window, &paint);
    return true;
}

bool LaunchDialog::OnEraseBackground(HDC, LRESULT* result)
{
    // Nothing may cover what the splash animation draws.
    *result = 0;
    return true;
}

HICON LaunchDialog::OnQueryDragIcon()
{
    return icon;
}

void LaunchDialog::RunLaunchSequence()
{
    LaunchState state = {};
    HWND window = Window();

    BeginWaitCursor();
    ExtractPrivateRuntime(state);
    InstallJavaRuntime(state);
    EndWaitCursor();

    if (!state.privateRuntimePresent && !ResolveJavaHome(state)) return;
    if (!PrepareWizardFiles(state)) return;

    ShowWindow(window, SW_HIDE);
    PauseSplash(true);

    wchar_t javaProgram[MAX_PATH] = L"";
    wchar_t wizardArguments[MAX_PATH] = L"";
    bool commandLineFits = BuildWizardCommandLine(state, javaProgram, wizardArguments);

    DWORD kept = GetCurrentDirectoryW(MAX_PATH, state.savedFolder);
    if (kept == 0 || kept >= MAX_PATH) state.savedFolder[0] = 0;
    SetCurrentDirectoryW(programFolder);

    if (state.privateRuntimePresent) RegisterDeferredCleanup(state);
    // A command line that does not fit is refused, never cut, and the user is
    // told why; the clean-up steps run as after a wizard that has ended.
    DWORD refusal = commandLineFits ? StartWizard(javaProgram, wizardArguments) : ERROR_FILENAME_EXCED_RANGE;
    if (refusal == ERROR_FILENAME_EXCED_RANGE) ShowLaunchError(refusal);
    StoreJavaInstallerWithProduct(state);
    if (state.privateRuntimePresent) RemovePrivateRuntime(state);

    if (state.savedFolder[0]) SetCurrentDirectoryW(state.savedFolder);
    if (state.wizardFilesExtracted) RemoveWizardFiles(state);

    if (state.javaInstalledNow) {
        // The splash keeps the user company while the runtime is removed; a
        // launcher without a splash shows no window at all.
        if (splash) {
            PauseSplash(false);
            ShowWindow(window, SW_SHOW);
        }
        RemoveTemporaryJava(state);
        if (splash) {
            ShowWindow(window, SW_HIDE);
            PauseSplash(true);
        }
    }
}

LauncherApp::LauncherApp() : gdiplusToken_(0) {}

bool LauncherApp::InitInstance()
{
    Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplusInput_, nullptr);

    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return false;

    LaunchDialog* dialog = new (dialogStorage_) LaunchDialog();
    wchar_t programPath[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, programPath, MAX_PATH);
    bool fits = length > 0 && length < MAX_PATH &&
                ParseLauncherArguments(programPath, argv, argc, dialog->programFolder, dialog->argumentText);
    LocalFree(argv);
    if (!fits) {
        // Nothing is launched from a folder or with arguments that were cut.
        dialog->ShowLaunchError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }

    mainWindow = dialog;
    dialog->CreateModeless(nullptr);
    return false;
}

int LauncherApp::ExitInstance()
{
    // The splash thread draws with GDI+: it must end before GDI+ does, also
    // when the sequence ended with a message and never paused it.
    if (mainWindow) {
        LaunchDialog* dialog = static_cast<LaunchDialog*>(mainWindow);
        delete dialog->splash;
        dialog->splash = nullptr;
    }
    Gdiplus::GdiplusShutdown(gdiplusToken_);
    return Application::ExitInstance();
}
