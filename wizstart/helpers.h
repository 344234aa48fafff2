// File-system, resource, text and registry helpers shared by the launch steps.
// Paths are plain Windows paths in buffers of MAX_PATH characters (terminator
// included); an output parameter named `out` must hold MAX_PATH characters.
// A path that would not fit makes the call fail; nothing is written past a buffer.
#pragma once

#include <windows.h>

// A file or a folder of that name exists and may be read.
bool FileExists(const wchar_t* path);

// The path can be made the current folder (the current folder is kept).
bool FolderExists(const wchar_t* path);

// Creates the folder and any missing parents, but never a drive or a root.
// Returns whether the folder exists now. The current folder is kept.
bool CreateFolderPath(const wchar_t* path);

// Removes everything inside `folder`, not the folder itself. Returns 0 when the
// folder is empty afterwards (or does not exist), -1 at the first entry that
// cannot be removed. A link to a folder (a reparse point) is removed as a link:
// what it points to is never touched.
int DeleteFolderContents(const wchar_t* folder);

// %SystemRoot%\Temp of the launcher's own environment. False when SystemRoot is
// missing or the path does not fit.
bool GetSystemTempFolder(wchar_t* out);

// Room for the longest tick text, "-2147483648", and its terminator.
const int kTickTextSize = 12;

// The tick count as a signed decimal number.
void TickText(wchar_t* out /* kTickTextSize */);
void FormatTickText(DWORD ticks, wchar_t* out /* kTickTextSize */);

// Creates GetSystemTempFolder() + "\" + tickText and gives its path in `out`
// (whether the folder could be created is not looked at). False only when the
// path cannot be formed.
bool MakeTickFolder(const wchar_t* tickText, wchar_t* out);

// A resource of the program's own module.
struct ResourceBytes {
    const void* data;
    DWORD size;
};
bool FindProgramResource(const wchar_t* name, const wchar_t* type, ResourceBytes* out);

// Writes the bytes to a new file (an existing one is replaced). Returns whether
// the file was created.
bool WriteResourceToFile(const ResourceBytes& bytes, const wchar_t* path);

// Converts an 8-bit text of the code page into `out` (capacity in characters).
// False, with an empty `out`, when it cannot be converted or does not fit.
bool ConvertCodePageText(const char* text, UINT codePage, wchar_t* out, int capacity);

// Reads a text value of HKEY_LOCAL_MACHINE (SHGetValueW) into `out`, which
// holds `capacity` characters. False when it is missing or does not fit.
bool ReadMachineText(const wchar_t* key, const wchar_t* value, wchar_t* out, DWORD capacity);

// Registry helpers. A value path is a key path, a backslash and the value name.
// They ignore failures and report nothing.
void CreateRegKeyPath(HKEY root, const wchar_t* keyPath);
void SetRegString(HKEY root, const wchar_t* valuePath, const wchar_t* text);
void DeleteRegValue(HKEY root, const wchar_t* valuePath);
