// The folder-removal program's process-wide objects: the DLL search restricted
// to the system folder first (the program runs from the system Temp folder,
// where anybody may put a DLL), then the one application object, which the
// framework's entry point runs.
#include "folder_removal.h"
#include "framework/system_library.h"

SystemDllSearch systemDllSearch;
FolderRemovalApp theFolderRemoval;
