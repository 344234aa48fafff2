// The text steps of turning a document into the program registered to open it:
// finding the extension, splitting a registered open command into program and
// arguments, and putting the document into the arguments. Portable code (no
// Windows headers), shared by setup.exe, the fast tests and the fuzz target.
//
// Every output buffer holds kCommandSize characters with the terminator; a
// result that would not fit is refused (false), never cut.
#pragma once

#include <stddef.h>

const size_t kCommandSize = 260;  // MAX_PATH

// The extension of a path: from its last dot to the end of the text (arguments
// included, if the path carried any), or null when there is no dot.
const char* FindExtension(const char* path);

// True for ".exe", ".bat" and ".com" in any letter case: started as they are.
bool IsProgramExtension(const char* extension);

// Splits a registered open command. A command beginning with a double quote:
// the program is the text between the quotes, the arguments all after the
// closing quote. Otherwise the program runs up to and including the first
// ".exe" (any case) and the arguments are the rest without one leading blank.
// False when no program part is found (or it does not fit).
bool SplitCommandTemplate(const char* commandTemplate, char* program, char* arguments);

// Puts the document into the arguments: without the quoted placeholder "%1"
// in quotes, the whole argument text is put in quotes first; then the first
// %1 is replaced by the document, or, without any %1, the arguments become a
// blank and the document. False (arguments unchanged) when it would not fit.
bool FillDocumentArguments(char* arguments, const char* document);

// Puts a program path that contains a blank in double quotes, so that the
// joined command line names the whole path. False when it would not fit.
bool QuoteProgramPath(char* program);

// Case-insensitive (ASCII) search; the position of the first match or null.
const char* FindTextNoCase(const char* text, const char* wanted);
