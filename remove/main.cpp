// tvremove.exe: removes Tovarin as Setup's record proves it was installed.
//
// Add/Remove Programs starts the destination's tvremove.exe and waits for
// it.  That program cannot delete itself, nor the directory it runs from,
// so it copies itself into the temporary directory, starts the copy and
// waits.  The copy asks, removes everything the record proves to be
// Setup's (the Add/Remove Programs entry last) and signals; the first
// program ends, which tells Add/Remove Programs to read its list again;
// the copy waits for it to be gone, deletes the destination's program,
// record and emptied directories, says what it left, and has itself
// deleted when Windows starts next.
#include "base/resources.h"
#include "remove/remove.h"
#include "remove/arguments.h"
#include "base/paths.h"
#include "resources/tvremove.h"

HINSTANCE removeInstance;

namespace {

enum {
    kParentWaitMs = 30000,
};

// The copy's path in the temporary directory: always the same name, so
// that it is the same program to the system (and to its settings).
int CopyPath(char* path)
{
    char temp[kPathBytes];
    DWORD length = GetTempPathA(sizeof temp, temp);
    return length != 0 && length < sizeof temp && JoinPath(temp, kRemovalProgramName, path, kPathBytes) != 0;
}

// The first program: hands the work to the copy and waits until it says
// everything is removed, or ends; its exit code is the copy's, handed
// through a pipe before the copy signals.  0 when the copy could not be
// started.
int HandOver(const char* destDir, int quiet, DWORD* exitCode)
{
    char own[kPathBytes], copy[kPathBytes];
    DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
    if (length == 0 || length >= sizeof own || !CopyPath(copy) || SameTextIgnoringCase(own, copy) ||
        !CopyFileA(own, copy, FALSE))
        return 0;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE done = CreateEventA(&inherit, TRUE, FALSE, nullptr);
    HANDLE self = nullptr, resultRead = nullptr, resultOwn = nullptr, resultWrite = nullptr;
    // Only the pipe's writing end is the copy's: a copy that dies leaves
    // the reader at its end, not waiting.
    if (done == nullptr ||
        !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0) ||
        !CreatePipe(&resultRead, &resultOwn, nullptr, 0) ||
        !DuplicateHandle(GetCurrentProcess(), resultOwn, GetCurrentProcess(), &resultWrite, 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
        HANDLE handles[] = {done, self, resultRead, resultOwn};
        for (HANDLE h : handles) {
            if (h != nullptr)
                CloseHandle(h);
        }
        return 0;
    }
    CloseHandle(resultOwn);
    char command[kPathBytes * 2 + 64];
    char tempDir[kPathBytes];
    CopyText(tempDir, sizeof tempDir, copy);
    tempDir[LastBackslash(tempDir)] = '\0';
    PROCESS_INFORMATION started;
    STARTUPINFOA startup;
    for (size_t i = 0; i < sizeof startup; ++i)
        reinterpret_cast<char*>(&startup)[i] = 0;
    startup.cb = sizeof startup;
    int ok = FormatCopyCommand(copy, static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(done)),
                               static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(self)),
                               static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(resultWrite)), quiet, destDir,
                               command, sizeof command) != 0 &&
             CreateProcessA(copy, command, nullptr, nullptr, TRUE, 0, nullptr, tempDir, &startup, &started);
    CloseHandle(resultWrite);
    if (ok) {
        HANDLE either[2] = {done, started.hProcess};
        WaitForMultipleObjects(2, either, FALSE, INFINITE);
        uint8_t code = 0;
        DWORD got = 0;
        if (WaitForSingleObject(done, 0) == WAIT_OBJECT_0 && ReadFile(resultRead, &code, 1, &got, nullptr) &&
            got == 1)
            *exitCode = code;
        else if (!GetExitCodeProcess(started.hProcess, exitCode) || *exitCode == STILL_ACTIVE)
            *exitCode = kExitNothingRemoved;
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
    }
    CloseHandle(resultRead);
    CloseHandle(done);
    CloseHandle(self);
    return ok;
}

// The removal itself, in the copy (or, when no copy could be started, in
// the first program, which then has its own file deleted at the next start).
int Remove(const char* destDir, int quiet, HANDLE done, HANDLE parent, HANDLE resultPipe)
{
    RemovalRun* run = static_cast<RemovalRun*>(LocalAlloc(LPTR, sizeof(RemovalRun)));
    if (run == nullptr)
        return kExitNothingRemoved;
    CopyText(run->destDir, sizeof run->destDir, destDir);
    run->quiet = quiet;
    int result = kRemovalStopped;
    if (quiet || ShowBox(BOX_CONFIRM_REMOVE, nullptr) == ANSWER_REMOVE)
        result = RemoveTovarin(run);
    RemovalOutcome outcome = {run->recordRead, result == kRemovalStopped, run->removed, run->failed,
                              run->recordRead ? run->plan.badLine : 0};
    if (result == kRemovalStopped && !run->recordRead)
        outcome.recordRead = 1;   // stopped at the first box: the user's answer
    int code = RemovalExitCode(&outcome);
    // Add/Remove Programs reads its list again when the program it started
    // ends: let it end now that the entry is gone, with this result.
    if (resultPipe != nullptr) {
        uint8_t byte = static_cast<uint8_t>(code);
        DWORD put = 0;
        WriteFile(resultPipe, &byte, 1, &put, nullptr);
        CloseHandle(resultPipe);
    }
    if (done != nullptr)
        SetEvent(done);
    if (parent != nullptr)
        WaitForSingleObject(parent, kParentWaitMs);
    if (result == kRemovalDone)
        RemoveProgramAndRecord(run);
    else
        CloseProgress(run);
    if (run->recordRead && !quiet) {
        // The heading, the names and how many more, each with room of its
        // own, on the heap: on the stack, beside the format, they would
        // reach past the guard page.  Without a heading the names stand
        // alone; with nothing at all the box keeps its template's text.
        static_assert(IDS_STOPPED_BYTES == kTextBytes && IDS_LEFT_BYTES == kTextBytes &&
                          IDS_REMOVED_BYTES == kTextBytes && IDS_PARTLY_BYTES == kTextBytes,
                      "the headings load into buffers of another size");
        const int kLastBoxBytes = kTextBytes + kLeftBytes + IDS_MORE_BYTES;
        char* text = static_cast<char*>(LocalAlloc(LMEM_FIXED, kLastBoxBytes));
        if (text != nullptr) {
            LoadRemoveString(result == kRemovalStopped   ? IDS_STOPPED
                             : result == kRemovalPartial ? IDS_PARTLY
                             : run->left.shown > 0       ? IDS_LEFT
                                                         : IDS_REMOVED,
                             text, kTextBytes);
            if (result != kRemovalStopped && run->left.shown > 0) {
                AppendText(text, kLastBoxBytes, run->left.text);
                if (run->left.more > 0) {
                    char format[IDS_MORE_BYTES], more[IDS_MORE_BYTES];
                    LoadRemoveString(IDS_MORE, format, sizeof format);
                    wsprintfA(more, format, run->left.more);
                    AppendText(text, kLastBoxBytes, more);
                }
            }
        }
        ShowBox(BOX_REMOVED, text);
        LocalFree(text);
    }
    FreeRun(run);
    LocalFree(run);
    return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR tail, int)
{
    removeInstance = instance;
    UseSystemCodePage();
    ChooseResourceLanguage(instance);
    RemoveArguments arguments;
    if (!ParseRemoveArguments(tail, &arguments))
        return kExitNothingRemoved;
    if (arguments.copy) {
        int code = Remove(arguments.destDir, arguments.quiet,
                          reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(arguments.event)),
                          reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(arguments.process)),
                          reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(arguments.result)));
        char own[kPathBytes];
        DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
        if (length != 0 && length < sizeof own)
            DeleteAtRestart(own);
        return code;
    }

    // Started from the destination: the destination is this program's own
    // directory.
    char destDir[kPathBytes];
    DWORD length = GetModuleFileNameA(nullptr, destDir, sizeof destDir);
    if (length == 0 || length >= sizeof destDir || LastBackslash(destDir) < 2)
        return kExitNothingRemoved;
    destDir[LastBackslash(destDir) == 2 ? 3 : LastBackslash(destDir)] = '\0';
    if (arguments.recover)
        return Recover(destDir);
    DWORD code = kExitNothingRemoved;
    if (HandOver(destDir, arguments.quiet, &code))
        return static_cast<int>(code);
    // No copy: remove from here; this program's file goes at the next start.
    return Remove(destDir, arguments.quiet, nullptr, nullptr, nullptr);
}
