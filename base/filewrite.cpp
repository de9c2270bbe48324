// Putting a file in place whole (see filewrite.h).
#include "base/filewrite.h"
#include "base/journal.h"

namespace {

// Creates a new temporary file beside the target.  Its name goes to temp.
HANDLE CreateTemporary(const char* targetPath, int targetExists, char* temp)
{
    char dir[kPathBytes];
    if (ParentDirectory(targetPath, dir, sizeof dir) == 0)
        return INVALID_HANDLE_VALUE;
    // Names are tried from a number of this moment on, so that two runs
    // seldom meet on the same name; a name taken is passed over.
    DWORD first = (GetTickCount() ^ GetCurrentProcessId()) & 0xFFFF;
    for (DWORD i = 0; i < 256; ++i) {
        char name[16];
        wsprintfA(name, "~tv%04x.tmp", static_cast<unsigned>((first + i) & 0xFFFF));
        if (JoinPath(dir, name, temp, kPathBytes) == 0)
            return INVALID_HANDLE_VALUE;
        if (GetFileAttributesA(temp) != INVALID_FILE_ATTRIBUTES)
            continue;
        // Noted before the temporary file exists: a kill leaves nothing
        // unnoted, and a noted name that was never made is harmless.
        NoteAction(kNoteFile, targetExists, targetPath, temp);
        HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    temp[0] = '\0';
    return INVALID_HANDLE_VALUE;
}

struct TempSink {
    HANDLE file;
    const BlockSink* progress;
    uint32_t crc;   // of every byte written, for the file's fingerprint
};

int WriteToTemp(void* context, const uint8_t* data, uint32_t bytes)
{
    TempSink* sink = static_cast<TempSink*>(context);
    DWORD put = 0;
    sink->crc = UpdateCrc32(sink->crc, data, bytes);
    return bytes == 0 || (WriteFile(sink->file, data, bytes, &put, nullptr) && put == bytes);
}

void ReportBlock(void* context, uint32_t bytes)
{
    const BlockSink* progress = static_cast<TempSink*>(context)->progress;
    if (progress != nullptr && progress->progress != nullptr)
        progress->progress(progress->context, bytes);
}

void ClearReadOnly(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

// Windows 95: the earlier file goes aside, the new one moves in, and the
// earlier one is deleted.  Should the move fail, the earlier file returns.
int ReplaceOnWindows95(const char* temp, const char* targetPath)
{
    char aside[kPathBytes];
    if (ComposeText(aside, sizeof aside, targetPath, kSetAsideSuffix) == 0)
        return 0;
    SetFileAttributesA(aside, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(aside);
    if (!MoveFileA(targetPath, aside))
        return 0;
    if (!MoveFileA(temp, targetPath)) {
        MoveFileA(aside, targetPath);
        return 0;
    }
    DeleteFileA(aside);
    return 1;
}

// Puts the whole temporary file in the target's place.
int Replace(const char* temp, const char* targetPath, int targetExisted, int flags)
{
    if (targetExisted)
        ClearReadOnly(targetPath);
    if (!OnWindowsNT()) {
        if (!targetExisted && MoveFileA(temp, targetPath))
            return kFileWritten;
        return targetExisted && ReplaceOnWindows95(temp, targetPath) ? kFileWritten
                                                                      : kFileReplaceFailed;
    }
    if (MoveFileExA(temp, targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return kFileWritten;
    // A system file that a running program holds is replaced when Windows
    // starts next; the temporary file waits for it under its own name.
    if (targetExisted && (flags & kReplaceAtRestart) &&
        MoveFileExA(temp, targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT))
        return kFileWrittenAtRestart;
    return kFileReplaceFailed;
}

struct PlainSource {
    HANDLE file;
};

int32_t ReadPlain(void* context, uint8_t* buffer, uint32_t bytes)
{
    DWORD got = 0;
    if (!ReadFile(static_cast<PlainSource*>(context)->file, buffer, bytes, &got, nullptr))
        return kSourceReadAgain;
    return static_cast<int32_t>(got);
}

int SeekPlain(void* context, uint32_t offset)
{
    return SetFilePointer(static_cast<PlainSource*>(context)->file, static_cast<LONG>(offset),
                          nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

}  // namespace

int OnWindowsNT()
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

int WriteFileWhole(const char* targetPath, const BlockSource* source, uint32_t size,
                   const BlockSink* progress, int flags)
{
    uint8_t* buffer = static_cast<uint8_t*>(LocalAlloc(LPTR, kCopyBlockBytes));
    if (buffer == nullptr)
        return kFileNoMemory;
    // Asked once: whether there is an earlier file to keep whole.
    int targetExisted = GetFileAttributesA(targetPath) != INVALID_FILE_ATTRIBUTES;
    char temp[kPathBytes];
    HANDLE file = CreateTemporary(targetPath, targetExisted, temp);
    if (file == INVALID_HANDLE_VALUE) {
        LocalFree(buffer);
        return kFileCreateFailed;
    }

    TempSink tempSink = {file, progress, 0xFFFFFFFFu};
    BlockSink sink = {WriteToTemp, ReportBlock, &tempSink};
    int copied = CopyBlocks(source, &sink, size, buffer);
    LocalFree(buffer);

    // A new file has nothing to lose; an earlier one is only replaced by a
    // file that is on the disk, not in its cache.
    if (copied == kBlocksCopied && targetExisted && !FlushFileBuffers(file))
        copied = kBlocksWriteFailed;
    CloseHandle(file);

    int result;
    switch (copied) {
    case kBlocksCopied:
        result = Replace(temp, targetPath, targetExisted, flags);
        break;
    case kBlocksSourceFailed:
        result = kFileSourceFailed;
        break;
    default:
        result = kFileWriteFailed;
        break;
    }
    if (result < 0) {
        DeleteFileA(temp);
    } else if (result == kFileWritten) {
        // Only a file in place has a fingerprint: the removal takes it
        // while it still has these bytes, and keeps it once the user has
        // changed it.
        char fingerprint[kFingerprintBytes];
        FormatFingerprint(tempSink.crc, size, fingerprint);
        NoteAction(kNotePlaced, 0, targetPath, fingerprint);
    }
    return result;
}

int CopyFileWhole(const char* targetPath, const char* sourcePath, int flags)
{
    PlainSource plain = {CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (plain.file == INVALID_HANDLE_VALUE)
        return kFileSourceFailed;
    DWORD high = 0;
    DWORD size = GetFileSize(plain.file, &high);
    int result = kFileSourceFailed;
    if ((size != INVALID_FILE_SIZE || GetLastError() == NO_ERROR) && high == 0) {
        BlockSource source = {ReadPlain, SeekPlain, &plain};
        result = WriteFileWhole(targetPath, &source, size, nullptr, flags);
    }
    CloseHandle(plain.file);
    return result;
}

void RemoveStaleTemporaries(const char* dir)
{
    char search[kPathBytes];
    if (JoinPath(dir, "*", search, sizeof search) == 0)
        return;
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA(search, &found);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        TemporaryKind kind = TemporaryFileKind(found.cFileName);
        char path[kPathBytes];
        if (kind == kNotTemporary || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            JoinPath(dir, found.cFileName, path, sizeof path) == 0)
            continue;
        if (kind == kSetAside) {
            // Interrupted between its two moves: the earlier file is the
            // only whole one, and goes back.
            char original[kPathBytes];
            CopyText(original, sizeof original, path);
            original[TextLength(path) - TextLength(kSetAsideSuffix)] = '\0';
            if (GetFileAttributesA(original) == INVALID_FILE_ATTRIBUTES && MoveFileA(path, original))
                continue;
        }
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
}
