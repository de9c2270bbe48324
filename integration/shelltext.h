// The texts that the installer gives the shell: Program Manager's DDE
// commands and item paths, the registry's data, the group list that
// Program Manager sends back, and the version number of a library.
// Portable: no windows.h.  Every text is composed into a buffer of the
// given capacity; a text that does not fit is refused (length 0, empty
// buffer), never cut, since a cut path names another file.
#ifndef TOVARIN_INTEGRATION_SHELLTEXT_H
#define TOVARIN_INTEGRATION_SHELLTEXT_H

#include <stddef.h>
#include <stdint.h>

// The default group name and the application's item name.
extern const char kDefaultGroupName[];   // "Tovarin95 Demo"
extern const char kApplicationItem[];    // "Tovarin"

// An item path: destDir and tail, wrapped in double quotes when destDir
// holds a blank.  Not lower-cased here: the caller does that with the
// system's own rule.  Returns the length, or 0.
size_t ItemPath(const char* destDir, const char* tail, char* out, size_t capacity);

// The guide's tail: a backslash, the guide directory, "\guide.hlp".
size_t GuideTail(const char* guideDirectory, char* out, size_t capacity);

// Program Manager's commands, as sent.
size_t CreateGroupCommand(const char* group, char* out, size_t capacity);
size_t ShowGroupCommand(const char* group, char* out, size_t capacity);
size_t DeleteItemCommand(const char* item, char* out, size_t capacity);
size_t AddApplicationCommand(const char* path, char* out, size_t capacity);
size_t AddReadMeCommand(const char* path, const char* item, char* out, size_t capacity);
size_t AddGuideCommand(const char* path, const char* item, char* out, size_t capacity);

// 1 when a typed group name can go into the commands as it stands: a
// double quote would end its quoted argument early and a square bracket
// would end or start a command, so that the rest of the name would reach
// Program Manager as commands of its own.
int IsSafeGroupName(const char* group);

// Splits the group list in place: calls add() with each line that a line
// feed ends, without its line end (a carriage return before the line feed
// is dropped; a line ended by a line feed alone keeps all its characters).
// Empty lines and text after the last line feed are not groups.  size
// bounds the text.
void SplitGroupList(char* text, size_t size, void (*add)(const char* group, void* context),
                    void* context);

// Registry data, formed from destDir as it is stored (not lower-cased).
size_t OpenCommandText(const char* destDir, char* out, size_t capacity);  // dir\tovarin.exe "%1"
size_t IconText(const char* destDir, int index, char* out, size_t capacity);  // dir\tovarin.exe ,N
size_t AppPathText(const char* destDir, char* out, size_t capacity);      // dir\tovarin.exe
size_t TemplateFilenameText(const char* templates, char* out, size_t capacity);  // ...\default.tvd

// The version number of a FileVersion text: its decimal digits read one
// after the other as one number, wrapping in 32 bits ("2.31.000" is
// 231000, "2.26.1" is 2261).
uint32_t VersionDigitsNumber(const char* text);

#endif
