// Libraries from the system folder only. The elevated programs must never load
// a DLL that an ordinary user has put beside them (a disc copied to a
// Downloads folder) or into their current folder.
#pragma once

#include <windows.h>

// Restricts the process's DLL search to the system folder where the system
// offers that (SetDefaultDllDirectories); where only SetDllDirectory exists,
// takes the current folder out of the search. Both are looked up at run time,
// since older systems have neither. Called first thing at start-up.
void RestrictDllSearchToSystem();

// Restricts the search when it is constructed: each program defines one in its
// main source ahead of its other static objects, so that it comes first.
struct SystemDllSearch {
    SystemDllSearch() { RestrictDllSearchToSystem(); }
};

// An address that GetProcAddress gave, as the function type it has (null stays
// null), through the one function-pointer type that converts to all others.
template <class Function>
Function AsFunction(FARPROC address)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// The full path of a file in the system folder; false when it does not fit
// MAX_PATH characters (`out` holds MAX_PATH).
bool SystemProgramPath(const wchar_t* name, wchar_t* out);

// Loads a library of the system folder by its full path; null when it cannot.
HMODULE LoadSystemLibrary(const wchar_t* name);
HMODULE LoadSystemLibrary(const char* name);
