// What the installer says to Program Manager over DDE and what it hears
// back: the commands and item paths, and the group list.
// Portable: no windows.h.  Every text is composed into a buffer of the
// given capacity; a text that does not fit is refused (length 0, empty
// buffer), never cut, since a cut path names another file.
#ifndef TOVARIN_INTEGRATION_PROGMANTEXT_H
#define TOVARIN_INTEGRATION_PROGMANTEXT_H

#include <stddef.h>
#include <stdint.h>

// The default group name and the application's item name.
extern const char kDefaultGroupName[];   // "Tovarin95 Demo"
extern const char kApplicationItem[];    // "Tovarin"

// An item path as it goes into a command: destDir and tail between double
// quotes, whatever they hold, so that a blank, comma, parenthesis or square
// bracket of the path stays inside its argument.  A double quote, which no
// file name holds, would end the argument early and is refused.  Not
// lower-cased here: the caller does that with the system's own rule.
// Returns the length, or 0.
size_t ItemPath(const char* destDir, const char* tail, char* out, size_t capacity);

// The guide's tail: a backslash, the guide directory, "\guide.hlp".
size_t GuideTail(const char* guideDirectory, char* out, size_t capacity);

// Program Manager's commands, as sent.  The paths come from ItemPath,
// quoted, and the items' names from ItemName (registrytext.h), quoted
// where they must be; the read-me's icon file is "write.exe", quoted
// alike; the application and the guide take their icons from their own
// files.
size_t CreateGroupCommand(const char* group, char* out, size_t capacity);
size_t ShowGroupCommand(const char* group, char* out, size_t capacity);
size_t DeleteItemCommand(const char* item, char* out, size_t capacity);
size_t AddApplicationCommand(const char* path, const char* item, char* out, size_t capacity);
size_t AddReadMeCommand(const char* path, const char* item, char* out, size_t capacity);
size_t AddGuideCommand(const char* path, const char* item, char* out, size_t capacity);

// The removal's commands: the record it reads is outside input, so every
// name goes quoted, whatever it holds (callers refuse names with a double
// quote or a square bracket, IsSafeGroupName).
size_t DeleteQuotedItemCommand(const char* item, char* out, size_t capacity);
size_t DeleteGroupCommand(const char* group, char* out, size_t capacity);

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

#endif
