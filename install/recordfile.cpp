// The removal record's file (see recordfile.h).
#include <windows.h>
#include <string.h>

#include "install/recordfile.h"
#include "install/record.h"
#include "base/journal.h"
#include "base/paths.h"
#include "base/filewrite.h"
#include "base/resources.h"
#include "resources/resource.h"
#include "shell/shell.h"

static_assert(int{kNoteDirectory} == int{kRecordDirectory} && int{kNotePlaced} == int{kRecordPlaced},
              "the journal numbers its actions as the record its lines");

namespace {

const char kRecordName[] = "tvremove.log";
const int kPendingDirectories = 8;

HANDLE record = INVALID_HANDLE_VALUE;
int recordWhole;   // 1 from a good OpenRecord until a line fails
DWORD recordEnd;   // where the next line goes: the end of the last whole line
char recordDest[kPathBytes];
char pending[kPendingDirectories][kPathBytes];
int pendingCount;

// Each line is written and flushed before its action: a killed Setup
// leaves every line it wrote, since the system's cache outlives the
// process, and a system that stops (a crash, a power cut) leaves at least
// the lines of whatever reached the disk: a file whose directory entry
// survives without its line would never be removed.
//
// A line that cannot be written whole (a full disk) is cut off where it
// began, so that no broken line stands before what a later run appends,
// and the record is closed: with an action missing it no longer says
// everything, and Setup says so rather than promise a removal.
void Put(const char* bytes, size_t length)
{
    if (record == INVALID_HANDLE_VALUE || length == 0)
        return;
    DWORD put = 0;
    if (WriteFile(record, bytes, static_cast<DWORD>(length), &put, nullptr) && put == length) {
        recordEnd += put;
        FlushFileBuffers(record);
        return;
    }
    if (SetFilePointer(record, static_cast<LONG>(recordEnd), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER)
        SetEndOfFile(record);
    recordWhole = 0;
    CloseRecord();
}

// The template's fingerprint, read from where it is copied from.
int Fingerprint(const char* path, char* out)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    uint8_t block[1024];
    uint32_t crc = 0xFFFFFFFF, size = 0;
    DWORD got = 0;
    while (ReadFile(file, block, sizeof block, &got, nullptr) && got != 0) {
        crc = UpdateCrc32(crc, block, got);
        size += got;
    }
    CloseHandle(file);
    FormatFingerprint(crc, size, out);
    return 1;
}

void RecordAction(int kind, int flag, const char* a, const char* b, const char* c, const char* d)
{
    if (record == INVALID_HANDLE_VALUE) {
        if (kind == kNoteDirectory && pendingCount < kPendingDirectories &&
            CopyText(pending[pendingCount], kPathBytes, a) != 0)
            ++pendingCount;
        return;
    }
    char fingerprint[kFingerprintBytes];
    RecordLine lines[2] = {{static_cast<RecordKind>(kind), flag, {a, b, c, d}},
                           {kRecordTemporary, 0, {b, "", "", ""}}};
    int count = 1;
    if (kind == kNoteFile || kind == kNotePlaced) {
        // The write path's files outside the destination (the template in
        // the New menu's folder) are the template line's, or not Setup's
        // to take away.  A file and its temporary go in one write: there
        // is no moment with one line alone.
        if (!IsInsideDirectory(a, recordDest))
            return;
        if (kind == kNoteFile) {
            lines[0].field[1] = "";
            count = 2;
        }
    } else if (kind == kNoteTemplate) {
        if (!Fingerprint(b, fingerprint))
            return;
        lines[0].field[1] = fingerprint;
    }
    char text[2 * kRecordLineBytes];
    size_t length = 0;
    for (int i = 0; i < count; ++i) {
        size_t n = FormatRecordLine(&lines[i], text + length, kRecordLineBytes);
        // An action the record cannot name is one it cannot take away.
        if (n == 0) {
            recordWhole = 0;
            CloseRecord();
            return;
        }
        length += n;
    }
    Put(text, length);
}

// Drops a last line without its CR LF.  0 when the record cannot be read.
int CutPartialLine(DWORD size)
{
    char tail[kRecordLineBytes];
    DWORD start = size > kRecordLineBytes ? size - kRecordLineBytes : 0, got = 0;
    if (SetFilePointer(record, static_cast<LONG>(start), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !ReadFile(record, tail, size - start, &got, nullptr) || got != size - start)
        return 0;
    DWORD end = got;
    while (end > 0 && tail[end - 1] != '\n')
        --end;
    if (end == 0)
        return 0;
    recordEnd = start + end;
    return SetFilePointer(record, static_cast<LONG>(recordEnd), nullptr, FILE_BEGIN) !=
               INVALID_SET_FILE_POINTER &&
           SetEndOfFile(record);
}

struct ResourceBytes {
    const uint8_t* bytes;
    uint32_t size;
    uint32_t at;
};

int32_t ReadResource(void* context, uint8_t* buffer, uint32_t bytes)
{
    ResourceBytes* r = static_cast<ResourceBytes*>(context);
    uint32_t n = r->size - r->at < bytes ? r->size - r->at : bytes;
    memcpy(buffer, r->bytes + r->at, n);
    r->at += n;
    return static_cast<int32_t>(n);
}

int SeekResource(void* context, uint32_t offset)
{
    static_cast<ResourceBytes*>(context)->at = offset;
    return 1;
}

}  // namespace

int WriteRemovalProgram(const char* destDir)
{
    char target[kPathBytes];
    DWORD size = 0;
    const void* bytes = LockLanguageResource(appInstance, MAKEINTRESOURCEA(10) /* RT_RCDATA */,
                                             IDR_REMOVAL_PROGRAM, &size);
    ResourceBytes program = {static_cast<const uint8_t*>(bytes), size, 0};
    BlockSource source = {ReadResource, SeekResource, &program};
    return program.bytes != nullptr && JoinPath(destDir, "tvremove.exe", target, sizeof target) != 0 &&
           WriteFileWhole(target, &source, program.size, nullptr, 0) >= 0;
}

void StartRecording()
{
    pendingCount = 0;
    recordWhole = 0;
    actionListener = RecordAction;
}

int OpenRecord(const char* destDir)
{
    char path[kPathBytes];
    if (CopyText(recordDest, sizeof recordDest, destDir) == 0 ||
        JoinPath(destDir, kRecordName, path, sizeof path) == 0)
        return 0;
    CreateDirectoryPath(destDir);
    // Held open by another program, read-only or not a record: the
    // installation cannot be recorded (RecordIsWhole says so).  A read-only
    // record is left alone also where the system would open it for writing
    // (an administrator's process under Wine).
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return 0;
    record = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (record == INVALID_HANDLE_VALUE)
        return 0;
    recordWhole = 1;
    char signature[64], start[64];
    size_t length = FormatRecordSignature(signature, sizeof signature);
    DWORD size = GetFileSize(record, nullptr), got = 0;
    recordEnd = 0;
    if (size == 0) {
        Put(signature, length);
    } else if (size == INVALID_FILE_SIZE || size < length ||
               !ReadFile(record, start, static_cast<DWORD>(length), &got, nullptr) || got != length ||
               memcmp(start, signature, length) != 0 || !CutPartialLine(size)) {
        recordWhole = 0;
        CloseRecord();
        return 0;
    }
    // Each run says the code page its paths are in before the first of
    // them.
    char number[16];
    FormatGrouped(TextCodePage(), 0, number, sizeof number);
    RecordAction(kRecordCodePage, 0, number, "", "", "");
    // The directories made before there was a record: this one is in one
    // of them, so their lines can only follow.
    for (int i = 0; i < pendingCount; ++i)
        RecordAction(kNoteDirectory, 0, pending[i], "", "", "");
    pendingCount = 0;
    return recordWhole;
}

int RecordIsWhole()
{
    return recordWhole;
}

void CloseRecord()
{
    if (record != INVALID_HANDLE_VALUE)
        CloseHandle(record);
    record = INVALID_HANDLE_VALUE;
}
