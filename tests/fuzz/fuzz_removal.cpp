// Feeds arbitrary bytes to the removal's two readers of outside files: the
// plan made of a record anyone may have edited must fit the block
// PlanBytes promised, hold only lines the reader accepts, and judge only
// absolute paths, and recover only the temporary files of its FILE lines;
// WININIT.INI, as it lies on the disk, must come back
// whole with exactly one NUL= line more.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "remove/plan.h"
#include "remove/recovery.h"
#include "remove/wininit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);

    // The block exactly as large as promised: AddressSanitizer sees a
    // byte past it.
    size_t bytes = PlanBytes(size);
    void* block = malloc(bytes);
    RemovalPlan plan;
    MakeRemovalPlan(text, size, block, &plan);
    if (plan.count * sizeof(PlanLine) + plan.textsUsed > bytes)
        abort();
    for (uint32_t i = 0; i < plan.count; ++i) {
        const PlanLine* line = &plan.lines[i];
        if ((line->kind == kRecordFile || line->kind == kRecordDirectory) && !IsPlainAbsolutePath(line->field[0]))
            abort();
        if (line->kind == kRecordFile && JudgeFile(line->field[0], "C:\\TOVARIN") == kRemoveFile &&
            !IsInsideDirectory(line->field[0], "C:\\TOVARIN"))
            abort();
        // A fingerprint the removal compares a file with is one Setup writes.
        if (line->kind == kRecordFile) {
            const char* fingerprint = PlacedFingerprint(&plan, i);
            if (fingerprint != nullptr && !IsFingerprint(fingerprint))
                abort();
            IsLastFileLine(&plan, i);
        }
        if (line->kind == kRecordTemporary && JudgeTemporary(line->field[0], "C:\\TOVARIN") == kRemoveFile &&
            TemporaryFileKind(FileNameOf(line->field[0])) != kNewContents)
            abort();
    }
    // The recovery takes or puts in place only a FILE line's own temporary
    // file, and judges only absolute paths.
    RecoveryStep steps[64];
    uint32_t count = PlanRecovery(&plan, steps, 64);
    for (uint32_t i = 0; i < count && i < 64; ++i) {
        if (!IsPlainAbsolutePath(steps[i].target) || !IsPlainAbsolutePath(steps[i].temp))
            abort();
    }
    if (count != 0 && !NeedsRecovery(&plan))
        abort();
    free(block);

    const char path[] = "C:\\TOVARIN\\TOVARIN.EXE";
    size_t capacity = size + sizeof path + 32;
    std::vector<char> out(capacity);
    size_t length = AddWininitDelete(text, size, path, out.data(), capacity);
    if (length == 0 || length < size + sizeof path - 1 + 6 || length > size + sizeof path - 1 + 6 + 12)
        abort();
    // Every byte of the file is still there, in its order.
    size_t at = 0;
    for (size_t i = 0; i < length && at < size; ++i) {
        if (out[i] == text[at])
            ++at;
    }
    if (at != size)
        abort();
    return 0;
}
