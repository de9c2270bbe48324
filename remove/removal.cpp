// The work over the record: what Setup placed in the destination, the
// template, the write path's leftovers and the directories Setup made.
#include "remove/remove.h"
#include "remove/wininit.h"
#include "base/filewrite.h"
#include "base/paths.h"
#include "resources/tvremove.h"

namespace {

const DWORD kLargestRecord = 4u << 20;   // far beyond any record Setup writes
const uint32_t kTemplateBlock = 32768;

void* Allocate(size_t bytes)
{
    return LocalAlloc(LPTR, bytes);
}

// Reads the record beside the program into a block of its own; null when
// there is none.
char* ReadWhole(const char* path, DWORD* size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    DWORD high = 0;
    *size = GetFileSize(file, &high);
    char* bytes = nullptr;
    if (*size != INVALID_FILE_SIZE && high == 0 && *size <= kLargestRecord) {
        bytes = static_cast<char*>(Allocate(*size + 1));
        DWORD got = 0;
        if (bytes != nullptr && (!ReadFile(file, bytes, *size, &got, nullptr) || got != *size)) {
            LocalFree(bytes);
            bytes = nullptr;
        }
    }
    CloseHandle(file);
    return bytes;
}

int IsInUse(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

// The template is Setup's only while it is the file Setup placed.
int TemplateUnchanged(const char* path, const char* fingerprint)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    uint8_t* block = static_cast<uint8_t*>(Allocate(kTemplateBlock));
    uint32_t crc = 0xFFFFFFFFu, total = 0;
    int whole = block != nullptr;
    for (DWORD got = 1; whole && got != 0;) {
        whole = ReadFile(file, block, kTemplateBlock, &got, nullptr) != 0;
        crc = UpdateCrc32(crc, block, got);
        total += got;
    }
    if (block != nullptr)
        LocalFree(block);
    CloseHandle(file);
    char now[24];
    FormatFingerprint(crc, total, now);
    return whole && SameTextIgnoringCase(now, fingerprint);
}

// The write path's temporary files in dir: new contents never put in
// place, and earlier files set aside.
void RemoveLeftovers(const char* dir)
{
    char pattern[kPathBytes];
    if (JoinPath(dir, "*", pattern, sizeof pattern) == 0)
        return;
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA(pattern, &found);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        char path[kPathBytes];
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || TemporaryFileKind(found.cFileName) == kNotTemporary ||
            JoinPath(dir, found.cFileName, path, sizeof path) == 0)
            continue;
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
}

void RemoveFiles(RemovalRun* run)
{
    const RemovalPlan* plan = &run->plan;
    char settings[kPathBytes];
    JoinPath(run->destDir, kSettingsFileName, settings, sizeof settings);
    for (uint32_t i = 0; i < plan->count && !run->stopped; ++i) {
        const PlanLine* line = &plan->lines[i];
        const char* path = line->field[0];
        if (line->kind == kRecordTemplate) {
            ShowProgress(run, path);
            if (FileExists(path) && TemplateUnchanged(path, line->field[1]))
                DeleteOrDefer(run, path);
            continue;
        }
        if (line->kind != kRecordFile && line->kind != kRecordTemporary)
            continue;
        ShowProgress(run, path);
        switch (JudgeFile(path, run->destDir)) {
        case kRemoveFile:
            if (run->keepSettings && SameTextIgnoringCase(path, settings))
                break;
            if (line->kind == kRecordTemporary) {
                SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path);
            } else if (FileExists(path)) {
                DeleteOrDefer(run, path);
            }
            break;
        case kOutsideDest:
            if (FileExists(path))
                NoteLeft(&run->left, path, IDS_NOT_OURS);
            break;
        case kSystemLibrary:
        case kRemovalProgram:
            break;
        }
    }
    if (!run->keepSettings && !run->stopped && FileExists(settings))
        DeleteOrDefer(run, settings);
    // Whatever the write path left where Setup wrote.
    for (uint32_t i = 0; i < plan->count; ++i) {
        const PlanLine* line = &plan->lines[i];
        char dir[kPathBytes];
        if (line->kind == kRecordDirectory && JudgeFile(line->field[0], run->destDir) != kOutsideDest)
            RemoveLeftovers(line->field[0]);
        else if (line->kind == kRecordFile && JudgeFile(line->field[0], run->destDir) == kRemoveFile &&
                 ParentDirectory(line->field[0], dir, kPathBytes) != 0)
            RemoveLeftovers(dir);
    }
}

// Directories Setup made, deepest first, each only once it is empty.  The
// destination itself counts when Setup made it.  On NT a directory that
// still holds a file to be deleted at the next start goes after it.
void RemoveDirectories(RemovalRun* run, int atRestart)
{
    const RemovalPlan* plan = &run->plan;
    uint32_t count = 0;
    for (uint32_t i = 0; i < plan->count; ++i)
        count += plan->lines[i].kind == kRecordDirectory;
    if (count == 0)
        return;
    const char** dirs = static_cast<const char**>(Allocate(count * sizeof(const char*)));
    if (dirs == nullptr)
        return;
    count = 0;
    for (uint32_t i = 0; i < plan->count; ++i) {
        const char* dir = plan->lines[i].field[0];
        if (plan->lines[i].kind == kRecordDirectory &&
            (SameTextIgnoringCase(dir, run->destDir) || IsInsideDirectory(dir, run->destDir)))
            dirs[count++] = dir;
    }
    OrderDeepestFirst(dirs, count);
    for (uint32_t i = 0; i < count; ++i) {
        if (!RemoveDirectoryA(dirs[i]) && atRestart && OnWindowsNT() && DirectoryExists(dirs[i]))
            MoveFileExA(dirs[i], nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    LocalFree(dirs);
}

// Windows 95: a NUL= line in WININIT.INI's [rename] section.
int AddToWininit(const char* path)
{
    char shortPath[kPathBytes], windows[kPathBytes], ini[kPathBytes];
    DWORD length = GetShortPathNameA(path, shortPath, sizeof shortPath);
    UINT windowsLength = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof shortPath || windowsLength == 0 || windowsLength >= sizeof windows ||
        JoinPath(windows, "WININIT.INI", ini, sizeof ini) == 0)
        return 0;
    DWORD size = 0;
    char* text = ReadWhole(ini, &size);
    if (text == nullptr && FileExists(ini))
        return 0;
    size_t capacity = size + kPathBytes + 32;
    char* out = static_cast<char*>(Allocate(capacity));
    size_t written = out != nullptr ? AddWininitDelete(text != nullptr ? text : "", size, shortPath, out, capacity) : 0;
    int done = 0;
    if (written != 0) {
        struct Memory {
            const char* bytes;
            uint32_t at, size;
        } memory = {out, 0, static_cast<uint32_t>(written)};
        BlockSource source = {
            [](void* context, uint8_t* buffer, uint32_t bytes) -> int32_t {
                Memory* m = static_cast<Memory*>(context);
                uint32_t n = m->size - m->at < bytes ? m->size - m->at : bytes;
                for (uint32_t i = 0; i < n; ++i)
                    buffer[i] = static_cast<uint8_t>(m->bytes[m->at + i]);
                m->at += n;
                return static_cast<int32_t>(n);
            },
            [](void* context, uint32_t offset) -> int {
                static_cast<Memory*>(context)->at = offset;
                return 1;
            },
            &memory};
        done = WriteFileWhole(ini, &source, memory.size, nullptr, 0) == kFileWritten;
    }
    if (out != nullptr)
        LocalFree(out);
    if (text != nullptr)
        LocalFree(text);
    return done;
}

// Files and directories left in dir, for the last box.
void ListLeft(LeftList* left, const char* dir, int depth)
{
    char pattern[kPathBytes];
    if (depth > 8 || JoinPath(dir, "*", pattern, sizeof pattern) == 0)
        return;
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA(pattern, &found);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        const char* n = found.cFileName;
        char path[kPathBytes];
        if ((n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) ||
            JoinPath(dir, n, path, sizeof path) == 0)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListLeft(left, path, depth + 1);
        else
            NoteLeft(left, path, 0);
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
}

}  // namespace

void NoteLeft(LeftList* left, const char* path, int textId)
{
    // A name already there (a file in use, listed again) is not repeated.
    for (const char* p = left->text; *p != '\0';) {
        const char* end = p;
        while (*end != '\0' && *end != '\n')
            ++end;
        size_t length = TextLength(path);
        size_t i = 0;
        while (i < length && p + i < end && p[i] == path[i])
            ++i;
        if (i == length && (p + i == end || p[i] == ' '))
            return;
        p = *end == '\n' ? end + 1 : end;
    }
    static_assert(IDS_NOT_OURS_BYTES == IDS_AT_RESTART_BYTES, "the notes load into buffers of one size");
    char note[IDS_AT_RESTART_BYTES] = "";
    if (textId != 0)
        LoadRemoveString(textId, note, sizeof note);
    if (left->shown >= kLeftNames || ComposeText(left->text + TextLength(left->text),
                                                 sizeof left->text - TextLength(left->text), path, note, "\n") == 0) {
        ++left->more;
        return;
    }
    ++left->shown;
}

int DeleteAtRestart(const char* path)
{
    if (OnWindowsNT())
        return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    return AddToWininit(path);
}

int DeleteOrDefer(RemovalRun* run, const char* path)
{
    for (;;) {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileA(path) || !FileExists(path))
            return 1;
        DWORD error = GetLastError();
        int answer = ANSWER_LATER;
        if (!IsInUse(error)) {
            NoteLeft(&run->left, path, 0);
            return 0;
        }
        if (!run->quiet) {
            // A format that cannot be loaded makes an empty text: the box
            // keeps its template's.
            char format[IDS_IN_USE_BYTES], text[kTextBytes];
            LoadRemoveString(IDS_IN_USE, format, sizeof format);
            wsprintfA(text, format, path);
            answer = ShowBox(BOX_FILE_IN_USE, text);
        }
        if (answer == ANSWER_RETRY)
            continue;
        if (answer == ANSWER_LATER && DeleteAtRestart(path)) {
            NoteLeft(&run->left, path, IDS_AT_RESTART);
            return 1;
        }
        NoteLeft(&run->left, path, 0);
        if (answer == ANSWER_STOP)
            run->stopped = 1;
        return 0;
    }
}

int RemoveTovarin(RemovalRun* run)
{
    char recordPath[kPathBytes];
    DWORD size = 0;
    char* record = JoinPath(run->destDir, kRecordFileName, recordPath, sizeof recordPath) != 0
                       ? ReadWhole(recordPath, &size)
                       : nullptr;
    if (record == nullptr) {
        if (!run->quiet)
            ShowBox(BOX_NO_RECORD, nullptr);
        return kRemovalNoRecord;
    }
    run->recordRead = 1;
    run->planBlock = Allocate(PlanBytes(size));
    if (run->planBlock == nullptr) {
        LocalFree(record);
        return kRemovalNoRecord;
    }
    MakeRemovalPlan(record, size, run->planBlock, &run->plan);
    LocalFree(record);
    if (run->plan.badLine != 0 && !run->quiet) {
        char format[IDS_DAMAGED_BYTES], text[kTextBytes];
        LoadRemoveString(IDS_DAMAGED, format, sizeof format);
        wsprintfA(text, format, recordPath, run->plan.badLine);
        ShowBox(BOX_RECORD_DAMAGED, text);
    }

    char settings[kPathBytes];
    run->keepSettings = 1;
    if (!run->quiet && JoinPath(run->destDir, kSettingsFileName, settings, sizeof settings) != 0 &&
        FileExists(settings))
        run->keepSettings = ShowBox(BOX_KEEP_SETTINGS, nullptr) != ANSWER_REMOVE_SETTINGS;

    run->steps = run->plan.count + 2;
    run->stepsDone = 0;
    if (!run->quiet)
        run->progress = OpenProgress();
    RemoveProgramItems(run);
    RemoveRegistryEntries(run);
    RemoveFiles(run);
    RemoveDirectories(run, 0);
    if (!run->stopped)
        RemoveUninstallEntry();
    ShowProgress(run, "");
    return run->stopped ? kRemovalStopped : kRemovalDone;
}

void RemoveProgramAndRecord(RemovalRun* run)
{
    char path[kPathBytes];
    // The program that started this copy may take a moment to let go of
    // its image after it has ended.
    if (JoinPath(run->destDir, kRemovalProgramName, path, sizeof path) != 0) {
        for (int attempt = 0; attempt < 20 && FileExists(path); ++attempt) {
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
            if (DeleteFileA(path))
                break;
            Sleep(100);
        }
        if (FileExists(path) && DeleteAtRestart(path))
            NoteLeft(&run->left, path, IDS_AT_RESTART);
    }
    if (JoinPath(run->destDir, kRecordFileName, path, sizeof path) != 0) {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    }
    RemoveDirectories(run, 1);
    CloseProgress(run);
    if (DirectoryExists(run->destDir))
        ListLeft(&run->left, run->destDir, 0);
}

void FreeRun(RemovalRun* run)
{
    if (run->planBlock != nullptr)
        LocalFree(run->planBlock);
    run->planBlock = nullptr;
}
