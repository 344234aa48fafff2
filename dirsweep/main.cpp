// The folder-removal program's one application object; the framework's entry
// point runs it.
#include "folder_removal.h"

FolderRemovalApp theFolderRemoval;
