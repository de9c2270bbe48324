// Feeds arbitrary bytes to the removal record's reader, which reads a file
// from the destination that anyone may have edited: every line it hands out
// must be one the writer could have written, with an absolute path where a
// path belongs.  It is read in one of the code pages the product knows,
// chosen by the input's length, so that the seeds stay records.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "base/codepages.h"
#include "install/record.h"

namespace {

void Check(const RecordLine* line, void*)
{
    char out[kRecordLineBytes + 1];
    // What the reader accepts, the writer writes again as it was.
    if (FormatRecordLine(line, out, sizeof out) == 0)
        abort();
    switch (line->kind) {
    case kRecordDirectory:
    case kRecordFile:
    case kRecordTemporary:
    case kRecordTemplate:
    case kRecordPlaced:
        if (!IsPlainAbsolutePath(line->field[0]))
            abort();
        break;
    default:
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const uint32_t kCodePages[] = {1252, 932, 936, 949, 950};
    UseHostCodePage(kCodePages[size % 5]);
    uint32_t bad = 0;
    uint32_t visited = ReadRecord(reinterpret_cast<const char*>(data), size, Check, nullptr, &bad);
    // A record read whole has its signature; what follows its last line
    // end is a line cut short, which ends it.
    if (bad == 0 && !HasRecordSignature(reinterpret_cast<const char*>(data), size))
        abort();
    (void)visited;
    return 0;
}
