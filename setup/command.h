// Program command resolution: a menu entry that names a document is started
// through the program registered (under HKEY_CLASSES_ROOT) to open it.
#pragma once

// path (in and out, MAX_PATH characters): the entry's full path, replaced by
// the opening program's path when the document's type has an open command;
// arguments (out, MAX_PATH characters): empty, or the arguments naming the
// document. On any failure the path stays as it was and the arguments empty.
// A program path with a blank comes back in double quotes, so that the
// joined command line names the whole path.
void ResolveProgramCommand(char* path, char* arguments);
