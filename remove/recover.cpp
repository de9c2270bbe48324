// The recovery of a run of Setup cut short (see recovery.h): /recover.
#include <windows.h>

#include "base/filewrite.h"
#include "base/paths.h"
#include "integration/registrytext.h"
#include "remove/recovery.h"
#include "remove/remove.h"

namespace {

// The RunOnce value that runs this recovery again: Windows deletes it
// before it starts the program, and a recovery cut short must run once
// more.
int SetRecoveryValue(const char* destDir, int set)
{
    char name[256], command[kPathBytes + 16];
    if (RecoveryValueName(destDir, name, sizeof name) == 0 || RecoveryCommand(destDir, command, sizeof command) == 0)
        return 0;
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunOncePath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return 0;
    LONG done = set ? RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                                     static_cast<DWORD>(TextLength(command) + 1))
                    : RegDeleteValueA(key, name);
    RegCloseKey(key);
    return done == ERROR_SUCCESS || (!set && done == ERROR_FILE_NOT_FOUND);
}

// Puts temp in target's place; the earlier file a Windows 95 Setup set
// aside beside it goes once the target is there.  1 when done.
int RollForward(const char* target, const char* temp)
{
    char aside[kPathBytes];
    int asideNamed = ComposeText(aside, sizeof aside, target, kSetAsideSuffix) != 0;
    if (FileExists(temp)) {
        SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
        int moved = OnWindowsNT() ? MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                                  : ((DeleteFileA(target) || !FileExists(target)) && MoveFileA(temp, target));
        if (!moved)
            return 0;
    }
    if (asideNamed && FileExists(aside) && FileExists(target)) {
        SetFileAttributesA(aside, FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(aside);
    }
    return 1;
}

int DeleteIfThere(const char* path)
{
    if (!FileExists(path))
        return 1;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path);
}

// A file new to the destination stays only with the size it was placed with.
int CheckNewFile(const RecoveryStep* step)
{
    if (!FileExists(step->target))
        return 1;
    if (step->hasSize) {
        HANDLE file = CreateFileA(step->target, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD high = 0, size = file != INVALID_HANDLE_VALUE ? GetFileSize(file, &high) : INVALID_FILE_SIZE;
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (size == step->size && high == 0)
            return 1;
    }
    return DeleteIfThere(step->target);
}

int TakeStep(const RecoveryStep* step, const char* destDir)
{
    // Only what lies inside the destination, and only the write path's own
    // temporary names, are the recovery's to touch.
    if (JudgeFile(step->target, destDir) != kRemoveFile)
        return 1;
    int ownTemp = JudgeTemporary(step->temp, destDir) == kRemoveFile;
    switch (step->kind) {
    case kRecoverReplace:
        return !ownTemp || RollForward(step->target, step->temp);
    case kRecoverDeleteTemp:
        return !ownTemp || DeleteIfThere(step->temp);
    case kRecoverCheckNew:
        return CheckNewFile(step);
    }
    return 1;
}

}  // namespace

int Recover(const char* destDir)
{
    SetRecoveryValue(destDir, 1);
    char recordPath[kPathBytes];
    DWORD size = 0;
    char* record = JoinPath(destDir, kRecordFileName, recordPath, sizeof recordPath) != 0
                       ? ReadWhole(recordPath, &size)
                       : nullptr;
    if (record == nullptr || !HasRecordSignature(record, size)) {
        if (record != nullptr)
            LocalFree(record);
        // Nothing to recover from: the value has nothing left to do.
        SetRecoveryValue(destDir, 0);
        return kExitNothingRemoved;
    }
    void* block = LocalAlloc(LPTR, PlanBytes(size));
    if (block == nullptr) {
        LocalFree(record);
        return kExitRemovedInPart;
    }
    RemovalPlan plan;
    MakeRemovalPlan(record, size, block, &plan);
    int whole = 1;
    if (NeedsRecovery(&plan)) {
        uint32_t count = PlanRecovery(&plan, nullptr, 0);
        RecoveryStep* steps = static_cast<RecoveryStep*>(LocalAlloc(LPTR, (count + 1) * sizeof(RecoveryStep)));
        if (steps == nullptr) {
            whole = 0;
        } else {
            PlanRecovery(&plan, steps, count);
            for (uint32_t i = 0; i < count; ++i)
                whole &= TakeStep(&steps[i], destDir);
            LocalFree(steps);
        }
        // The run's end goes after the record's last whole line (a power
        // cut may leave half of one), so that it is not recovered again.
        PlanLine end = {kRecordCommitted, 0, {"", "", "", ""}};
        whole = whole && plan.badLine == 0 && AppendToRecord(recordPath, &end);
    }
    LocalFree(block);
    LocalFree(record);
    // What could not be done now is tried again at the next start.
    if (whole)
        SetRecoveryValue(destDir, 0);
    return whole ? kExitRemoved : kExitRemovedInPart;
}
