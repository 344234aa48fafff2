// The folder-removal program: removes the folder named on its command line as
// soon as it is empty (retrying for a while), then tries its parent and its
// grandparent once. It never deletes a file and never shows anything.
#pragma once

#include <windows.h>

#include "framework/app.h"

// Whether the path itself (no wild cards) is an existing folder.
bool IsExistingDirectory(const wchar_t* path);

// Takes the folder from a command line of the form: program path (in double
// quotes or up to the first blank or tab), then the folder, perhaps in quotes.
// `folderPath` holds MAX_PATH characters; false when the folder is missing or
// too long (nothing is then removed).
bool ParseFolderArgument(const wchar_t* commandLine, wchar_t* folderPath);

// The folders one and two levels up: the text before the last backslash, or
// empty when there is none.
void ParentFolder(const wchar_t* path, wchar_t* parent /* MAX_PATH */);

// Tries to remove `folder` until it is gone or `limitMs` have passed since the
// first try (at least one try), waiting `pauseMs` between tries.
void RemoveFolderWhenEmpty(const wchar_t* folder, DWORD limitMs, DWORD pauseMs);

class FolderRemovalApp : public Application {
public:
    FolderRemovalApp();
    bool InitInstance() override;

    wchar_t folderPath[MAX_PATH];
    wchar_t parentPath[MAX_PATH];
    wchar_t grandparentPath[MAX_PATH];
    DWORD startTick;
};
