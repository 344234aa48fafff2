// Starting a child program on the interactive window station and desktop
// "winsta0\default": the user's logon SID is granted access to both, the child's
// start-up record names that desktop, and the child is created while the thread
// impersonates the process's own user. Before Windows XP the child is simply
// created.
//
// The command line is joined as the application path, a blank and
// `commandLine`, and the joined line is left in `commandLine`, which must hold
// MAX_PATH characters. A joined line longer than MAX_PATH - 1 characters is
// refused (0, ERROR_FILENAME_EXCED_RANGE).
//
// Result: nonzero when the child was created (and, when waited for, has ended);
// 0 with the thread's last-error value set.
#pragma once

#include <windows.h>

// The launcher's form. The child gets TEMP and TMP pointing to the system
// "\Temp" folder and, with runFromSystemTemp, starts in that folder. An
// application path with a blank is put in double quotes in the joined line.
BOOL StartInteractiveProcess(const wchar_t* applicationPath, wchar_t* commandLine, STARTUPINFOW* startupInfo,
                             BOOL waitForExit, BOOL runFromSystemTemp);

// The disc menu's form: the child inherits the environment and the current
// folder, and the application path is joined as it is (a menu command may carry
// arguments after the program).
BOOL StartInteractiveProcess(const char* applicationPath, char* commandLine, STARTUPINFOA* startupInfo,
                             BOOL waitForExit);
