// The one way Setup puts a file in place: the new contents are written
// into a temporary file in the target's own directory, and only a whole
// file takes the target's place.  A damaged source, a full disk, a kill or
// a power cut leaves the earlier file as it was, never cut short.
//
// Temporary files are named "~tvNNNN.tmp" (NNNN hexadecimal).  On
// Windows 95, whose MoveFileExA does nothing, the earlier file is renamed
// aside to its own name with ".~tv" appended while the new one moves in.
// RemoveStaleTemporaries clears what an interrupted run left of either.
// Win32; includes nothing of ours but the base.
#ifndef TOVARIN_BASE_FILEWRITE_H
#define TOVARIN_BASE_FILEWRITE_H

#include <windows.h>
#include <stdint.h>

#include "base/blockcopy.h"

enum FileWriteResult {
    kFileWritten          = 0,
    kFileWrittenAtRestart = 1,    // the target is in use: it is replaced at the next start
    kFileSourceFailed     = -1,   // the source could not be read whole
    kFileWriteFailed      = -2,   // a write fell short (a full disk)
    kFileReplaceFailed    = -3,   // the whole file could not take the target's place (held open)
    kFileNoMemory         = -4,   // no block buffer
    kFileCreateFailed     = -5,   // no temporary file could be made beside the target
};

// Flags of WriteFileWhole.
enum {
    kReplaceAtRestart = 1,   // a target in use is replaced at the next start (Windows NT)
};

// Writes size bytes of source as targetPath, whole or not at all.  A target
// that exists is flushed to disk before it is replaced, so that a power cut
// leaves one of the two; a read-only target is replaced.  On every failure
// the target is untouched and no temporary file stays.  progress, when not
// null, hears of every block written.
int WriteFileWhole(const char* targetPath, const BlockSource* source, uint32_t size,
                   const BlockSink* progress, int flags);

// The same for a plain file copied as it is.
int CopyFileWhole(const char* targetPath, const char* sourcePath, int flags);

// Clears dir of the temporary files of an interrupted run: "~tv????.tmp"
// files are deleted; an earlier file set aside ("NAME.~tv") goes back to
// NAME when NAME is missing, and is deleted when NAME is there.
void RemoveStaleTemporaries(const char* dir);

// 1 on Windows NT, 0 on Windows 95.
int OnWindowsNT();

#endif
