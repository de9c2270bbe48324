// Feeds arbitrary command tails to the removal program's command-line
// reader: anyone may start tvremove.exe with anything.  What it accepts is
// one of its two forms, the destination fits its buffer, is not empty and
// has no trailing backslash but a root's; and the copy's command line made
// of what it read reads back the same.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "remove/arguments.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The tail as Windows hands it over, NUL-terminated, in a block of its
    // own size so that a read past the NUL is seen.
    char* tail = static_cast<char*>(malloc(size + 1));
    memcpy(tail, data, size);
    tail[size] = '\0';
    RemoveArguments a;
    int ok = ParseRemoveArguments(tail, &a);
    free(tail);
    Check(ok == 0 || ok == 1);
    if (!ok)
        return 0;
    Check(a.quiet == 0 || a.quiet == 1);
    size_t length = strnlen(a.destDir, sizeof a.destDir);
    Check(length < sizeof a.destDir);
    if (!a.copy) {
        Check(a.copy == 0 && a.event == 0 && a.process == 0 && a.result == 0 && length == 0);
        return 0;
    }
    Check(a.copy == 1 && length > 0 && (length <= 3 || a.destDir[length - 1] != '\\'));
    // A destination with a double quote cannot be quoted again.
    if (memchr(a.destDir, '"', length) != nullptr)
        return 0;
    static const char program[] = "C:\\WINDOWS\\TEMP\\tvremove.exe";
    char line[sizeof program + kPathBytes + 64];
    Check(FormatCopyCommand(program, a.event, a.process, a.result, a.quiet, a.destDir, line, sizeof line) != 0);
    RemoveArguments back;
    Check(ParseRemoveArguments(line + sizeof program + 1, &back) == 1);  // after the quoted program
    Check(back.copy == 1 && back.quiet == a.quiet && back.event == a.event && back.process == a.process &&
          back.result == a.result && strcmp(back.destDir, a.destDir) == 0);
    return 0;
}
