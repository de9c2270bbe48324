// The registry's data for the document and settings file types, the
// New-menu template and the App Paths key.  Portable: no windows.h.  Every
// text is composed into a buffer of the given capacity; a text that does
// not fit is refused (length 0, empty buffer), never cut, since a cut path
// names another file.
#ifndef TOVARIN_INTEGRATION_REGISTRYTEXT_H
#define TOVARIN_INTEGRATION_REGISTRYTEXT_H

#include <stddef.h>

// Registry data, formed from destDir as it is stored (not lower-cased).
//
// The open command quotes the program's path as well as the document:
// unquoted, Windows NT would take "C:\Program Files\Tovarin\tovarin.exe" as
// the program "C:\Program" and run C:\Program.exe when there is one.  A
// destDir holding a double quote, which no directory name holds, is refused.
size_t OpenCommandText(const char* destDir, char* out, size_t capacity);  // "dir\tovarin.exe" "%1"
size_t IconText(const char* destDir, int index, char* out, size_t capacity);  // dir\tovarin.exe ,N
size_t AppPathText(const char* destDir, char* out, size_t capacity);      // dir\tovarin.exe

#endif
