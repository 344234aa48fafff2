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
// cannot be removed and when the folder cannot be listed for another reason
// (no access, say). A link to a folder (a reparse point) is removed as a link:
// what it points to is never touched.
int DeleteFolderContents(const wchar_t* folder);

// The folder's listing pattern (the folder and "\*.*") fits a path buffer, so
// DeleteFolderContents can empty it. The launcher writes into no other folder:
// what it writes must be removable with the same capacity.
bool FolderCanBeEmptied(const wchar_t* folder);

// The security attributes of what the launcher writes in the system Temp
// folder to run or load later: full control for Administrators and SYSTEM
// only, for the object and all that is created inside it, nothing inherited
// from Temp (where every user may create files), so that no ordinary user can
// add, replace or link anything inside. The conversion function is looked up
// at run time: on systems without it there are no private folders, and the
// steps that need one are skipped.
class PrivateSecurity {
public:
    PrivateSecurity();
    ~PrivateSecurity();
    PrivateSecurity(const PrivateSecurity&) = delete;
    PrivateSecurity& operator=(const PrivateSecurity&) = delete;
    // Null when the access list could not be made.
    SECURITY_ATTRIBUTES* Attributes() { return descriptor_ ? &attributes_ : nullptr; }

private:
    PSECURITY_DESCRIPTOR descriptor_;
    SECURITY_ATTRIBUTES attributes_;
};

// Creates a new folder with the private access list. True only when this call
// created it; a folder that exists already is never taken over.
bool CreatePrivateFolder(const wchar_t* path);

// %SystemRoot%\Temp of the launcher's own environment. False when SystemRoot is
// missing or the path does not fit.
bool GetSystemTempFolder(wchar_t* out);

// Room for the longest tick text, "-2147483648", and its terminator.
const int kTickTextSize = 12;

// The tick count as a signed decimal number.
void TickText(wchar_t* out /* kTickTextSize */);
void FormatTickText(DWORD ticks, wchar_t* out /* kTickTextSize */);

// Creates a new private folder (CreatePrivateFolder) GetSystemTempFolder() +
// "\" + the tick text of `ticks` and gives its path in `out`. Tick names can be
// predicted, so when that folder exists already the next tick text is taken,
// and so on. False when no folder could be created; `out` then names the last
// one tried (empty when no path could be formed).
bool MakeTickFolderFrom(DWORD ticks, wchar_t* out);
// The same, starting at the current tick count.
bool MakeTickFolder(wchar_t* out);

// A resource of the program's own module.
struct ResourceBytes {
    const void* data;
    DWORD size;
};
bool FindProgramResource(const wchar_t* name, const wchar_t* type, ResourceBytes* out);

// Writes the bytes to a file (an existing one is replaced). True only when
// every byte was written; a file that could not be written whole is deleted.
bool WriteResourceToFile(const ResourceBytes& bytes, const wchar_t* path);
// The same into a new file with the access list of CreatePrivateFolder; fails
// when a file of that name exists.
bool WriteResourceToPrivateFile(const ResourceBytes& bytes, const wchar_t* path);

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
