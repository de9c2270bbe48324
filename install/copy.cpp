// The copy engine: lists the installer's directory, installs every listed
// file that the catalogue names and the selection includes, and asks for
// the next disk while bytes remain.
#include "install/install.h"
#include "resources/resource.h"
#include "shell/copyprogress.h"
#include "shell/dialogs.h"
#include "shell/runreport.h"
#include "base/filewrite.h"
#include "base/journal.h"
#include "shell/shell.h"

namespace {

// How often the copy looks at its message queue: once a frame.
const DWORD kPumpMs = 16;

// Joins with exactly one backslash: "A:" and "name" give "A:\name".
int FormPath(const char* dir, const char* name, char* out)
{
    return JoinPath(dir, name, out, kPathBytes) != 0;
}

// Puts the copy-progress page back above the backdrop.
void RaisePage(HWND page)
{
    if (page != nullptr)
        SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Boxes 9 and 10 belong to the backdrop.  Windows keeps an owned window
// above its owner, but Wine raises the backdrop over the copy-progress page
// when such a box closes, and a box that follows another (box 10 after a
// retry) would open with the page still behind: the page is put on top
// before every box and again after it.
int AskOverPage(HWND owner, HWND page, int n, const char* text)
{
    FlushProgress(page);
    RaisePage(page);
    int answer = LOWORD(ShowMessage(owner, n, text));
    RaisePage(page);
    return answer;
}

// Asks box 10 about a file that could not be installed.  Returns the answer.
// Never inlined: its texts in the copy's frame would reach past the stack's
// guard page.
__attribute__((noinline)) int AskAboutFailedFile(HWND owner, HWND page, const char* destDir, const char* targetPath)
{
    // A format that cannot be loaded makes an empty text: the box keeps its
    // template's.
    char format[IDS_EXPAND_FAILED_BYTES];
    LoadResourceText(IDS_EXPAND_FAILED, format, sizeof format);
    // The path as the user knows it, even when it is too long to install,
    // and lower-cased as the copy page shows it.
    char path[IDS_EXPAND_FAILED_ARG_BYTES];
    path[0] = '\0';
    AppendText(path, sizeof path, destDir);
    if (path[0] != '\0' && path[LastCharacterIndex(path)] != '\\')
        AppendText(path, sizeof path, "\\");
    AppendText(path, sizeof path, targetPath);
    LowerPath(path);
    char text[kTextBytes];
    wsprintfA(text, format, path);
    return AskOverPage(owner, page, MSG_EXPAND_FAILED, text);
}

// The directory made last in this run: files come directory after
// directory, and making every level of a path again for each of them costs
// a call to the system a level.
char lastDirectoryMade[kPathBytes];

// Creates the directory of a target path.  0 when it cannot be made.
int MakeTargetDirectory(const char* target)
{
    char targetDir[kPathBytes];
    if (ParentDirectory(target, targetDir, sizeof targetDir) == 0)
        return 0;
    if (lastDirectoryMade[0] != '\0' && SameTextIgnoringCase(targetDir, lastDirectoryMade))
        return 1;
    if (!CreateDirectoryPath(targetDir))
        return 0;
    CopyText(lastDirectoryMade, sizeof lastDirectoryMade, targetDir);
    return 1;
}

// Installs one matched entry.  0 when done (expanded, kept, or ignored by
// the user after a failure), -1 when the user aborts.
int InstallEntry(HWND owner, HWND page, const char* dir, CatalogueEntry* entry,
                 const InstallOptions* options, DiskCounter* disks)
{
    char source[kPathBytes], target[kPathBytes];
    int formed = FormPath(dir, entry->sourceName, source) &&
                 FormPath(options->destDir, entry->targetPath, target);
    int expand = !formed || ShouldExpand(options, target);

    // A path that does not fit, a directory that cannot be made and a file
    // that cannot be expanded all go to the retry/ignore/abort question.
    for (;;) {
        int result = kCopyFailed;
        if (formed && MakeTargetDirectory(target))
            result = expand ? ExpandFile(page, source, target, entry->size) : 0;
        if (result >= 0)
            break;
        // The directory may have gone meanwhile: the retry makes it again.
        lastDirectoryMade[0] = '\0';
        int answer = AskAboutFailedFile(owner, page, options->destDir, entry->targetPath);
        FailedFileStep step = StepAfterFailedFile(answer);
        if (step == kIgnoreFile) {
            NoteIgnoredFile(&runReport, entry->targetPath);
            break;
        }
        if (step == kAbortCopy)
            return result;
    }
    if (expand)
        NoteFileExpanded(disks);
    if (formed)
        ApplyPostCopyRule(options, target);
    return 0;
}

}  // namespace

int ShouldExpand(const InstallOptions* options, const char* targetPath)
{
    // Only a settings file kept over an earlier one asks the disk.
    if (ShouldExpandTarget(targetPath, options->keepSettings, 1))
        return 1;
    return ShouldExpandTarget(targetPath, options->keepSettings, FileExists(targetPath));
}

int ApplyPostCopyRule(const InstallOptions*, const char* targetPath)
{
    if (LastBackslash(targetPath) < 0 || !IsShellNewTemplate(targetPath))
        return 1;
    // The installed copy goes only once the New menu's folder has its own;
    // otherwise it stays, and the registry and the finish page name it.
    if (FileExists(targetPath) && InstallShellNewTemplate(targetPath)) {
        DeleteFileA(targetPath);
    } else {
        runReport.undone |= kUndoneTemplate;
        if (!FileExists(targetPath) || CopyText(runReport.templatePath, kPathBytes, targetPath) == 0)
            runReport.templatePath[0] = '\0';
    }
    return 1;
}

namespace {

// The folder that the New menu's template goes to: the Windows directory's
// "ShellNew" where there is one (Windows 95 keeps its templates there),
// else the user's Templates folder as the shell names it.  0 when neither
// is there.
int TemplateFolder(char* folder)
{
    UINT length = GetWindowsDirectoryA(folder, kPathBytes);
    if (length != 0 && length < kPathBytes && AppendText(folder, kPathBytes, "\\ShellNew") != 0 &&
        DirectoryExists(folder))
        return 1;
    return ShellFolder("Templates", folder) && DirectoryExists(folder);
}

}  // namespace

int InstallShellNewTemplate(const char* sourcePath)
{
    char folder[kPathBytes], target[kPathBytes];
    if (!TemplateFolder(folder) || JoinPath(folder, "default.tvd", target, sizeof target) == 0)
        return 0;
    RemoveStaleTemporaries(folder);
    NoteAction(kNoteTemplate, 0, target, sourcePath);
    if (!CopyPlainFile(nullptr, target, sourcePath))
        return 0;
    CopyText(runReport.templatePath, kPathBytes, target);
    return 1;
}

namespace {

// Clears what an interrupted run left in the directories that this run
// writes to: temporary files, and earlier files set aside on Windows 95.
void RemoveStaleTemporariesOfRun(const CatalogueEntry* entries, const InstallOptions* options)
{
    char last[kPathBytes] = "";
    for (uint32_t i = 0; i < options->fileCount; ++i) {
        char target[kPathBytes];
        if (JoinPath(options->destDir, entries[i].targetPath, target, sizeof target) == 0)
            continue;
        target[LastBackslash(target)] = '\0';
        if (SameTextIgnoringCase(target, last))
            continue;
        RemoveStaleTemporaries(target);
        CopyText(last, sizeof last, target);
    }
}

// Box 9: asks for the disk.  0 when the user stops the copy.
int AskForDisk(HWND owner, HWND page, const DiskCounter* disks)
{
    char format[IDS_INSERT_DISK_BYTES], text[kTextBytes];
    LoadResourceText(IDS_INSERT_DISK, format, sizeof format);
    wsprintfA(text, format, static_cast<int>(disks->diskNumber));
    return AskOverPage(owner, page, MSG_INSERT_DISK, text) != ANSWER_CANCEL_DISK;
}

}  // namespace

int InstallFiles(HWND owner, CatalogueEntry* entries, const InstallOptions* options)
{
    char dir[kPathBytes], pattern[kPathBytes];
    int haveDir = InstallerDirectory(dir, sizeof dir) &&
                  JoinPath(dir, "*.*", pattern, sizeof pattern) != 0;

    ShowWaitCursor();
    HWND page = OpenPanel(owner, IDD_PROGRESS, 0, ProgressPageProc);
    StartCopyProgress(options->requiredBytes, page != nullptr ? GetDlgItem(page, IDC_PROGRESS_BAR) : nullptr);
    ResetProgressIndicator();
    StartBillboards();

    // The run ends when every selected entry has been handled, never before
    // and whatever the catalogue header's total says.
    RemoveStaleTemporariesOfRun(entries, options);
    lastDirectoryMade[0] = '\0';
    DWORD lastPump = GetTickCount() - kPumpMs;
    DiskCounter disks = StartDiskCounter();
    uint32_t mask = EffectiveComponentMask(options);
    int result = 0;
    while (result == 0 && copyRunning && !AllSelectedCopied(entries, options->fileCount, mask)) {
        WIN32_FIND_DATAA found;
        HANDLE listing = haveDir ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
        if (listing == INVALID_HANDLE_VALUE) {
            // An empty drive, a blank or unreadable floppy: the disk is
            // asked for again, never given up on without the user.
            if (!haveDir)
                result = kCopyFailed;
            else if (AskForDisk(owner, page, &disks))
                NoteDiskConfirmed(&disks);
            else
                copyRunning = 0;
            continue;
        }
        do {
            // The one place where the page's Cancel is served: the file
            // being expanded is always finished first.  Once a frame is
            // often enough for a click, and each look at an empty queue is
            // a call to the system.
            DWORD now = GetTickCount();
            if (now - lastPump >= kPumpMs) {
                lastPump = now;
                DrainMessages();
            }
            if (!copyRunning)
                break;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            int32_t match = MatchCatalogueEntry(entries, options->fileCount, found.cFileName,
                                                mask, SameTextIgnoringCase);
            if (match < 0)
                continue;
            CatalogueEntry* entry = &entries[match];
            result = InstallEntry(owner, page, dir, entry, options, &disks);
            if (result < 0)
                break;
            entry->copied = 1;
        } while (copyRunning && FindNextFileA(listing, &found));
        FindClose(listing);

        if (result == 0 && copyRunning && !AllSelectedCopied(entries, options->fileCount, mask)) {
            if (AskForDisk(owner, page, &disks))
                NoteDiskConfirmed(&disks);
            else
                copyRunning = 0;
        }
    }

    FlushProgress(page);
    if (page != nullptr)
        DestroyWindow(page);
    HideBillboard();
    DrainMessages();
    ShowArrowCursor();
    if (result < 0)
        return result;
    return copyRunning ? 0 : kCopyCancelled;
}
