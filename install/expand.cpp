// Expansion of one distribution file with the progress indicator, and the
// copy-progress page.
#include "install/install.h"
#include "base/filewrite.h"
#include "resources/resource.h"
#include "shell/copyprogress.h"
#include "shell/dialogs.h"
#include "shell/shell.h"

#include <lzexpand.h>

namespace {

// The percentage that the indicator shows; none before the first block of
// a run.  The control paints it again whenever it is uncovered.
const uint32_t kNothingShown = 0xFFFFFFFFu;
uint32_t shownPercent = kNothingShown;

// The indicwindow class's own procedure, under the page's subclass.
WNDPROC classIndicatorProc;

// Opens the source for LZ32.  LZOpenFileA goes through OpenFile, whose
// paths end at 128 characters; opening the file here and handing the handle
// to LZInit reads any path.  A negative result when it cannot be opened.
INT OpenSource(const char* sourcePath)
{
    HANDLE file = CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    INT source = LZInit(static_cast<INT>(reinterpret_cast<INT_PTR>(file)));
    if (source < 0)
        CloseHandle(file);
    return source;
}

int32_t ReadExpanded(void* context, uint8_t* buffer, uint32_t bytes)
{
    INT got = LZRead(*static_cast<INT*>(context), reinterpret_cast<LPSTR>(buffer), static_cast<INT>(bytes));
    if (got == LZERROR_READ)
        return kSourceReadAgain;
    return got < 0 ? -1 : got;
}

int SeekExpanded(void* context, uint32_t offset)
{
    return LZSeek(*static_cast<INT*>(context), static_cast<LONG>(offset), 0) >= 0;
}

void ShowBlock(void* page, uint32_t bytes)
{
    UpdateProgress(static_cast<HWND>(page), bytes);
}

}  // namespace

int ExpandFile(HWND page, char* sourcePath, char* targetPath, uint32_t size)
{
    LowerPath(sourcePath);
    LowerPath(targetPath);
    ShowCopyNames(page, sourcePath, targetPath);

    // A source that was just listed but cannot be opened goes to the
    // engine's retry/ignore/abort box, like one whose data is damaged.
    INT source = OpenSource(sourcePath);
    if (source < 0)
        return kCopyFailed;
    BlockSource reader = {ReadExpanded, SeekExpanded, &source};
    BlockSink progress = {nullptr, ShowBlock, page};
    int written = WriteFileWhole(targetPath, &reader, size, &progress, 0);
    LZClose(source);
    // A full disk is said at once; the engine's box then offers the rest.
    if (written == kFileWriteFailed) {
        FlushProgress(page);
        ShowMessage(page, MSG_COPY_FAILED, nullptr);
    }
    return written >= 0 ? 0 : kCopyFailed;
}

namespace {

// Draws the indicator at percent into dc, a context of control 12.
void DrawIndicator(HWND page, HDC dc, uint32_t percent)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font != nullptr ? SelectObject(dc, font) : nullptr;

    FillRect(dc, &indicatorRect, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    char text[16];
    int length = wsprintfA(text, "%li %%", static_cast<long>(percent));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, indicatorRect.right / 2 - 20, indicatorRect.top + 4, text, length);
    SetBkMode(dc, oldMode);
    // The text is drawn first, so the part under the bar inverts with it.
    int barEnd = ProgressBarEnd(indicatorRect.right, percent);
    PatBlt(dc, indicatorRect.left, indicatorRect.top, barEnd - indicatorRect.left,
           indicatorRect.bottom - indicatorRect.top, DSTINVERT);

    if (oldFont != nullptr)
        SelectObject(dc, oldFont);
}

// The indicator paints the bar as it stands when it is uncovered; before
// the first block it shows only its grey background.
LRESULT CALLBACK IndicatorProc(HWND indicator, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT && shownPercent != kNothingShown) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(indicator, &paint);
        if (dc != nullptr)
            DrawIndicator(GetParent(indicator), dc, shownPercent);
        EndPaint(indicator, &paint);
        return 0;
    }
    return CallWindowProcA(classIndicatorProc, indicator, message, wParam, lParam);
}

// What the page shows is painted at most once a frame: a name shown for
// less than that cannot be read, and under Wine every repaint of a control
// is a trip to the X server.  The names and the figure that wait are
// painted with the next frame, or at once by FlushProgress.
const DWORD kFrameMs = 16;
DWORD lastFrame;
int framePainted;      // 0 until the first frame of a run
char pendingSource[kPathBytes];
char pendingTarget[kPathBytes];
int namesPending;

void PaintProgress(HWND page, int now)
{
    DWORD tick = GetTickCount();
    if (!now && framePainted && tick - lastFrame < kFrameMs)
        return;
    lastFrame = tick;
    framePainted = 1;
    if (namesPending) {
        namesPending = 0;
        SetDlgItemTextA(page, IDC_PROGRESS_SOURCE, pendingSource);
        SetDlgItemTextA(page, IDC_PROGRESS_TARGET, pendingTarget);
        // Both names painted at once, in one pass over the page's children.
        RedrawWindow(page, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    // A figure that has not moved would draw the same picture again.
    uint32_t percent = ProgressPercent(bytesCopied, grandTotal);
    HWND indicator = GetDlgItem(page, IDC_PROGRESS_BAR);
    HDC dc = percent != shownPercent && indicator != nullptr ? GetDC(indicator) : nullptr;
    if (dc != nullptr) {
        shownPercent = percent;
        DrawIndicator(page, dc, percent);
        ReleaseDC(indicator, dc);
    }
}

}  // namespace

void ResetProgressIndicator()
{
    shownPercent = kNothingShown;
    framePainted = 0;
    namesPending = 0;
}

void ShowCopyNames(HWND page, const char* sourcePath, const char* targetPath)
{
    if (page == nullptr)
        return;
    CopyText(pendingSource, sizeof pendingSource, sourcePath);
    CopyText(pendingTarget, sizeof pendingTarget, targetPath);
    namesPending = 1;
    PaintProgress(page, 0);
}

void FlushProgress(HWND page)
{
    if (page != nullptr && framePainted)
        PaintProgress(page, 1);
}

void UpdateProgress(HWND page, uint32_t count)
{
    if (page == nullptr)
        return;
    bytesCopied += count;
    PaintProgress(page, 0);
    // Billboards change with the bytes, synchronously: each is shown once.
    AdvanceBillboard(0);
}

INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        PlaceDialog(page, kPlaceCentred);
        HWND indicator = GetDlgItem(page, IDC_PROGRESS_BAR);
        if (indicator != nullptr) {
            WNDPROC own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(indicator, GWLP_WNDPROC));
            if (own != IndicatorProc) {
                classIndicatorProc = own;
                SetWindowLongPtrA(indicator, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(IndicatorProc));
            }
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        // Copying stops after the current file: the engine looks at the
        // flag between files.
        FlushProgress(page);
        if (LOWORD(ShowMessage(page, MSG_CONFIRM_CANCEL, nullptr)) == ANSWER_CANCEL_SETUP)
            copyRunning = 0;
        return TRUE;
    default:
        return FALSE;
    }
}
