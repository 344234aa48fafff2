// setup's start-up: which Windows it runs on, its folder, its settings, then
// either the preferred entry at once or the menu, and what the menu chose.
#pragma once

#include <windows.h>

// Process-wide state, set once at start-up.
extern HINSTANCE moduleInstance;        // for every resource load
extern int showCommand;                 // handed on to every started program
extern int osFamily;                    // see OsFamily
extern char programFolder[MAX_PATH];    // setup's folder, ending with a backslash
extern HANDLE singleInstanceMutex;      // held while the menu is shown

// The running Windows: 0 unknown (or NT before 4.0), 1 Win32s, 3 Windows 95,
// 98 or Me, 4 Windows NT 4.0 and later.
int OsFamily();

// The whole program: returns the exit code, 0, or -1 when setup's folder or
// settings cannot be found or another menu is already open.
int RunSetup(HINSTANCE instance, const char* commandTail, int show);

// True when this copy may show the menu (it now holds the mutex
// "Vendrel_AutoRun"). Otherwise the open menu, found by its title and the
// dialog class, is brought to the front.
bool EnsureSingleInstance();

// Starts the program behind entry 1 to 6, joined to the folder; documents go
// to the program registered to open them. Failures are ignored.
void LaunchMenuEntry(int entry, const char* folder);

// Opens the folder in the shell.
void BrowseDisc(const char* folder);
