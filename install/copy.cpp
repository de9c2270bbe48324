// The copy engine: lists the installer's directory, installs every listed
// file that the catalogue names and the selection includes, and asks for
// the next disk while bytes remain.
#include "install/install.h"
#include "resources/resource.h"
#include "shell/copyprogress.h"
#include "shell/dialogs.h"
#include "shell/shell.h"

namespace {

// wsprintfA never writes more than 1,024 bytes.
const int kMessageBytes = 1024;

// Catalogue names match disk names whatever their letter case.
int SameFileName(const char* a, const char* b)
{
    char x[kPathBytes], y[kPathBytes];
    if (CopyText(x, sizeof x, a) == 0 || CopyText(y, sizeof y, b) == 0)
        return 0;
    CharLowerA(x);
    CharLowerA(y);
    return lstrcmpA(x, y) == 0;
}

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
    RaisePage(page);
    int answer = LOWORD(ShowMessage(owner, n, text));
    RaisePage(page);
    return answer;
}

// Asks box 10 about a file that could not be installed.  Returns the answer.
int AskAboutFailedFile(HWND owner, HWND page, const char* destDir, const char* targetPath)
{
    char format[kPathBytes];
    if (LoadStringA(appInstance, IDS_EXPAND_FAILED, format, sizeof format) <= 0)
        format[0] = '\0';
    // The path as the user knows it, even when it is too long to install,
    // and lower-cased as the copy page shows it.
    char path[2 * kPathBytes];
    path[0] = '\0';
    AppendText(path, sizeof path, destDir);
    if (path[0] != '\0' && path[TextLength(path) - 1] != '\\')
        AppendText(path, sizeof path, "\\");
    AppendText(path, sizeof path, targetPath);
    CharLowerA(path);
    char text[kMessageBytes];
    wsprintfA(text, format, path);
    return AskOverPage(owner, page, MSG_EXPAND_FAILED, text);
}

// Creates the directory of a target path.  0 when it cannot be made.
int MakeTargetDirectory(const char* target)
{
    char targetDir[kPathBytes];
    if (CopyText(targetDir, sizeof targetDir, target) == 0)
        return 0;
    int slash = LastBackslash(targetDir);
    if (slash < 0)
        return 0;
    targetDir[slash] = '\0';
    return CreateDirectoryPath(targetDir);
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
        int answer = AskAboutFailedFile(owner, page, options->destDir, entry->targetPath);
        FailedFileStep step = StepAfterFailedFile(answer);
        if (step == kIgnoreFile)
            break;
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
    int exists = GetFileAttributesA(targetPath) != INVALID_FILE_ATTRIBUTES;
    return ShouldExpandTarget(targetPath, options->keepSettings, exists);
}

int ApplyPostCopyRule(const InstallOptions*, const char* targetPath)
{
    if (LastBackslash(targetPath) < 0)
        return 1;
    if (IsShellNewTemplate(targetPath)) {
        InstallShellNewTemplate(targetPath);
        DeleteFileA(targetPath);
    }
    return 1;
}

int InstallShellNewTemplate(const char* sourcePath)
{
    char target[kPathBytes];
    UINT length = GetWindowsDirectoryA(target, sizeof target);
    if (length == 0 || length >= sizeof target ||
        AppendText(target, sizeof target, "\\ShellNew\\default.tvd") == 0)
        return 1;  // nowhere to put it, like a missing ShellNew folder
    return CopyPlainFile(nullptr, target, sourcePath);
}

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
    DiskCounter disks = StartDiskCounter();
    uint32_t mask = EffectiveComponentMask(options);
    int result = 0;
    while (result == 0 && copyRunning && !AllSelectedCopied(entries, options->fileCount, mask)) {
        WIN32_FIND_DATAA found;
        HANDLE listing = haveDir ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
        if (listing == INVALID_HANDLE_VALUE) {
            result = kCopyFailed;
            break;
        }
        do {
            // The one place where the page's Cancel is served: the file
            // being expanded is always finished first.
            DrainMessages();
            if (!copyRunning)
                break;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            int32_t match = MatchCatalogueEntry(entries, options->fileCount, found.cFileName,
                                                mask, SameFileName);
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
            char format[kPathBytes], text[kMessageBytes];
            if (LoadStringA(appInstance, IDS_INSERT_DISK, format, sizeof format) <= 0)
                format[0] = '\0';
            wsprintfA(text, format, static_cast<int>(disks.diskNumber));
            if (AskOverPage(owner, page, MSG_INSERT_DISK, text) == ANSWER_CANCEL_DISK)
                copyRunning = 0;
            else
                NoteDiskConfirmed(&disks);
        }
    }

    if (page != nullptr)
        DestroyWindow(page);
    HideBillboard();
    DrainMessages();
    ShowArrowCursor();
    if (result < 0)
        return result;
    return copyRunning ? 0 : kCopyCancelled;
}
