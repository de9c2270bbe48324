// The work over the record: what Setup placed in the destination, the
// template, the write path's leftovers and the directories Setup made.
#include "remove/remove.h"
#include "remove/wininit.h"
#include "base/filewrite.h"
#include "base/paths.h"
#include "resources/tvremove.h"

namespace {

const DWORD kLargestRecord = 4u << 20;   // far beyond any record Setup writes
const uint32_t kFingerprintBlock = 65536;

void* Allocate(size_t bytes)
{
    return LocalAlloc(LPTR, bytes);
}

}  // namespace

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
    if (bytes != nullptr)
        bytes[*size] = '\0';
    return bytes;
}

namespace {

int IsInUse(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

// A file is Setup's only while it is the file Setup placed: the user may
// have edited it since, or put a file of his own under its name.
enum Sameness {
    kFileUnreadable = -1,   // cannot be read now (held by a program that shares no reading)
    kFileChanged    = 0,
    kFileSame       = 1,
};

Sameness CompareWithFingerprint(const char* path, const char* fingerprint)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kFileUnreadable;
    uint8_t* block = static_cast<uint8_t*>(Allocate(kFingerprintBlock));
    uint32_t crc = 0xFFFFFFFFu, total = 0;
    int whole = block != nullptr;
    for (DWORD got = 1; whole && got != 0;) {
        got = 0;
        whole = ReadFile(file, block, kFingerprintBlock, &got, nullptr) != 0;
        crc = UpdateCrc32(crc, block, got);
        total += got;
    }
    if (block != nullptr)
        LocalFree(block);
    CloseHandle(file);
    if (!whole)
        return kFileUnreadable;
    char now[kFingerprintBytes];
    FormatFingerprint(crc, total, now);
    return SameTextIgnoringCase(now, fingerprint) ? kFileSame : kFileChanged;
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

// The folders the New menu's template is placed in, as Setup finds them.
uint32_t TemplateFolders(char folders[2][kPathBytes])
{
    uint32_t count = 0;
    UINT length = GetWindowsDirectoryA(folders[0], kPathBytes);
    if (length != 0 && length < kPathBytes && AppendText(folders[0], kPathBytes, "\\ShellNew") != 0)
        ++count;
    if (ShellFolder("Templates", folders[count]))
        ++count;
    return count;
}

// Deletes a file Setup made, counting the outcome.
void TakeFile(RemovalRun* run, const char* path)
{
    if (DeleteOrDefer(run, path))
        ++run->removed;
    else if (!run->stopped)
        ++run->failed;
}

void RemoveTemplate(RemovalRun* run, const char* path, const char* fingerprint)
{
    char folders[2][kPathBytes];
    const char* names[2] = {folders[0], folders[1]};
    uint32_t count = TemplateFolders(folders);
    if (!FileExists(path))
        return;
    if (!IsOwnTemplatePath(path, names, count))
        NoteLeft(&run->left, path, IDS_NOT_OURS);
    else if (CompareWithFingerprint(path, fingerprint) != kFileSame)
        NoteLeft(&run->left, path, IDS_CHANGED);
    else
        TakeFile(run, path);
}

// The settings file of the destination and every settings file the record
// names: the user's to keep.
int IsSettingsOfRun(const RemovalRun* run, const char* path, const char* settings)
{
    return SameTextIgnoringCase(path, settings) ||
           (IsSettingsFile(path) && JudgeFile(path, run->destDir) == kRemoveFile);
}

// Whether a box should ask about settings: the destination's settings file,
// or one the record names, is there.
int HasSettingsFiles(const RemovalRun* run)
{
    char settings[kPathBytes];
    if (JoinPath(run->destDir, kSettingsFileName, settings, sizeof settings) != 0 && FileExists(settings))
        return 1;
    for (uint32_t i = 0; i < run->plan.count; ++i) {
        const PlanLine* line = &run->plan.lines[i];
        if (line->kind == kRecordFile && IsSettingsOfRun(run, line->field[0], settings) &&
            FileExists(line->field[0]))
            return 1;
    }
    return 0;
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
            RemoveTemplate(run, path, line->field[1]);
            continue;
        }
        if (line->kind == kRecordTemporary) {
            FileVerdict verdict = JudgeTemporary(path, run->destDir);
            if (verdict == kRemoveFile) {
                SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path);
            } else if ((verdict == kOutsideDest || verdict == kNotTemporaryName) && FileExists(path)) {
                NoteLeft(&run->left, path, IDS_NOT_OURS);
            }
            continue;
        }
        // A file an installation after this line placed again is that
        // line's to judge, with its fingerprint.
        if (line->kind != kRecordFile || !IsLastFileLine(plan, i))
            continue;
        ShowProgress(run, path);
        switch (JudgeFile(path, run->destDir)) {
        case kRemoveFile: {
            if (!FileExists(path))
                break;
            if (IsSettingsOfRun(run, path, settings)) {
                // Settings change as the user works: they go on request,
                // whatever they hold now.
                if (!run->keepSettings)
                    TakeFile(run, path);
                break;
            }
            // A file that cannot be read now is in use: deleting it asks.
            const char* fingerprint = PlacedFingerprint(plan, i);
            if (fingerprint != nullptr && CompareWithFingerprint(path, fingerprint) == kFileChanged)
                NoteLeft(&run->left, path, IDS_CHANGED);
            else
                TakeFile(run, path);
            break;
        }
        case kOutsideDest:
            if (FileExists(path))
                NoteLeft(&run->left, path, IDS_NOT_OURS);
            break;
        default:
            break;
        }
    }
    if (!run->keepSettings && !run->stopped && FileExists(settings))
        TakeFile(run, settings);
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
    static_assert(IDS_NOT_OURS_BYTES == IDS_AT_RESTART_BYTES && IDS_CHANGED_BYTES == IDS_AT_RESTART_BYTES &&
                      IDS_NOT_DELETED_BYTES == IDS_AT_RESTART_BYTES && IDS_RECORD_KEPT_BYTES == IDS_AT_RESTART_BYTES,
                  "the notes load into buffers of one size");
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
    FindInstallations(run);
    char recordPath[kPathBytes];
    DWORD size = 0;
    char* record = JoinPath(run->destDir, kRecordFileName, recordPath, sizeof recordPath) != 0
                       ? ReadWhole(recordPath, &size)
                       : nullptr;
    // A file of the record's name without its signature is no record (a
    // file of the user's, or of anyone's): it proves nothing, and stays.
    if (record != nullptr && !HasRecordSignature(record, size)) {
        LocalFree(record);
        record = nullptr;
    }
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

    run->keepSettings = 1;
    if (!run->quiet && HasSettingsFiles(run))
        run->keepSettings = ShowBox(BOX_KEEP_SETTINGS, nullptr) != ANSWER_REMOVE_SETTINGS;

    run->steps = run->plan.count + 2;
    run->stepsDone = 0;
    if (!run->quiet)
        run->progress = OpenProgress();
    RemoveProgramItems(run);
    RemoveRegistryEntries(run);
    RemoveFiles(run);
    RemoveDirectories(run, 0);
    ShowProgress(run, "");
    if (run->stopped)
        return kRemovalStopped;
    // The lines after a damaged one, and whatever could not go, are still
    // the record's to remove: it, the program and the entry stay, so that
    // a later removal can finish.
    if (run->plan.badLine != 0) {
        NoteLeft(&run->left, recordPath, IDS_RECORD_KEPT);
        return kRemovalPartial;
    }
    if (run->failed > 0)
        return kRemovalPartial;
    RemoveUninstallEntry(run);
    return kRemovalDone;
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
    FreeOtherRecords(run);
    if (run->planBlock != nullptr)
        LocalFree(run->planBlock);
    run->planBlock = nullptr;
}
