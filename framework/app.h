// The small application framework of the launcher programs: one application
// object per program, created as a global before the entry point runs, with a
// start-up hook and an exit hook; the main-window slot; the module's resources;
// the wait cursor; a message box captioned with the application's name.
#pragma once

#include <windows.h>

class Dialog;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Called once after the framework's own start-up. Returning false skips the
    // message loop: the main window is destroyed and the exit hook runs.
    virtual bool InitInstance();
    // Called last; the result is the process's exit code.
    virtual int ExitInstance();

    // The framework's main-window slot.
    Dialog* mainWindow;

    // Runs the program: start-up hook, message loop when asked for, exit hook.
    int Run();

    // The program's one application object, or null when there is none (tests).
    static Application* Current();
};

// The module whose resources the program uses: its own executable.
HINSTANCE AppResourceHandle();

// The executable's file name without its extension, for example "wizstart".
const wchar_t* AppName();

// Loads string `id` from the program's string table in the language the system's
// resource loader picks. An empty text when there is no such string; a longer
// string than fits is cut at the buffer's end. Returns whether it was found.
bool LoadAppString(UINT id, wchar_t* buffer, int capacity);

// A message box owned by `owner`, captioned with AppName().
int AppMessageBox(HWND owner, const wchar_t* text, UINT flags);

// The hourglass for a stretch of work on the interface thread, and back.
void BeginWaitCursor();
void EndWaitCursor();
