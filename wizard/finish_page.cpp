// The finish page (template 9), the wizard's last window.  When the run
// left something undone it says so, and lists each thing where it would
// otherwise tell how to start Tovarin.
#include "wizard/wizard.h"
#include "resources/resource.h"
#include "shell/runreport.h"
#include "shell/shell.h"
#include "wizard/undone.h"

namespace {

// Every line's string is a format of kTextBytes.
static_assert(IDS_UNDONE_FILE_BYTES == kTextBytes && IDS_UNDONE_MORE_FILES_BYTES == kTextBytes &&
                  IDS_UNDONE_GROUP_BYTES == kTextBytes && IDS_UNDONE_TEMPLATE_BYTES == kTextBytes &&
                  IDS_UNDONE_TEMPLATE_LOST_BYTES == kTextBytes && IDS_UNDONE_CTL3D_BYTES == kTextBytes &&
                  IDS_CTL3D_AT_RESTART_BYTES == kTextBytes && IDS_UNDONE_REGISTRY_BYTES == kTextBytes &&
                  IDS_UNDONE_RECORD_BYTES == kTextBytes,
              "a line's string loads into a buffer of another size");

// The line's string formatted with what it takes into text (kTextBytes).
// 0 when the string is missing.
int FormatUndoneLine(const UndoneLine* line, char* text)
{
    char format[kTextBytes];
    if (LoadResourceText(line->stringId, format, sizeof format) == 0)
        return 0;
    if (line->text != nullptr)
        wsprintfA(text, format, line->text);
    else
        wsprintfA(text, format, static_cast<unsigned>(line->number));
    return 1;
}

// Fills the list.  Returns how many lines it holds; *widest receives the
// width of the widest in pixels.
int FillUndoneList(HWND list, int* widest)
{
    HDC dc = GetDC(list);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ old = dc != nullptr && font != nullptr ? SelectObject(dc, font) : nullptr;
    int count = 0;
    *widest = 0;
    UndoneLine line;
    for (uint32_t i = 0; UndoneLineAt(&runReport, i, &line); ++i) {
        char text[kTextBytes];
        if (!FormatUndoneLine(&line, text))
            continue;
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        ++count;
        SIZE size;
        if (dc != nullptr && GetTextExtentPoint32A(dc, text, static_cast<int>(TextLength(text)), &size) &&
            size.cx > *widest)
            *widest = size.cx;
    }
    if (old != nullptr)
        SelectObject(dc, old);
    if (dc != nullptr)
        ReleaseDC(list, dc);
    return count;
}

RECT ControlArea(HWND page, HWND control)
{
    RECT area;
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The list's size for its lines: as wide as the widest and as high as all
// of them, never smaller than the template has it, and at most three
// quarters of the screen wide and a dozen lines high; beyond that it
// scrolls.  listArea and client are its place and client area before it
// holds a line, and so before it has a scroll bar.
SIZE ListSizeForLines(HWND list, const RECT& listArea, const RECT& client, int count, int widest)
{
    int frameX = Width(listArea) - client.right, frameY = Height(listArea) - client.bottom;
    int itemHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const int kMargin = 6;   // the list draws its lines a few pixels in
    const int kMostLines = 12;
    int maxWidth = GetSystemMetrics(SM_CXFULLSCREEN) * 3 / 4;

    bool tall = count > kMostLines;
    int width = widest + kMargin + frameX + (tall ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    bool wide = width > maxWidth;
    int height = (tall ? kMostLines : count) * itemHeight + frameY + (wide ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    SIZE size;
    size.cx = width > maxWidth ? maxWidth : width < Width(listArea) ? Width(listArea) : width;
    size.cy = height < Height(listArea) ? Height(listArea) : height;
    // Whatever is wider still scrolls sideways.
    SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + kMargin), 0);
    return size;
}

// Moves a control by dx, dy and widens it by grow.
void ShiftControl(HWND page, HWND control, int dx, int dy, int grow)
{
    RECT area = ControlArea(page, control);
    MoveWindow(control, area.left + dx, area.top + dy, Width(area) + grow, Height(area), FALSE);
}

// The heading says that not everything was done (and never that Tovarin
// is installed), and the list takes the note's place, grown to its lines:
// the page grows with it, Finish staying centred and at its distance below.
void ShowUndone(HWND page)
{
    // Without its string the template's heading stays rather than none.
    char heading[IDS_UNDONE_HEADING_BYTES];
    if (LoadResourceText(IDS_UNDONE_HEADING, heading, sizeof heading) != 0)
        SetDlgItemTextA(page, IDC_FINISH_HEADING, heading);

    HWND note = GetDlgItem(page, IDC_FINISH_NOTE);
    HWND list = GetDlgItem(page, IDC_FINISH_UNDONE);
    HWND finish = GetDlgItem(page, IDOK);
    if (note == nullptr || list == nullptr || finish == nullptr)
        return;
    RECT noteArea = ControlArea(page, note), listArea = ControlArea(page, list), client;
    GetClientRect(list, &client);
    int widest = 0;
    int count = FillUndoneList(list, &widest);
    SIZE size = ListSizeForLines(list, listArea, client, count, widest);
    MoveWindow(list, listArea.left, listArea.top, size.cx, size.cy, FALSE);
    ShowWindow(note, SW_HIDE);
    ShowWindow(list, SW_SHOWNA);

    int wider = size.cx - Width(listArea);
    int taller = listArea.top + size.cy - noteArea.bottom;
    ShiftControl(page, GetDlgItem(page, IDC_FINISH_HEADING), 0, 0, wider);
    ShiftControl(page, finish, wider / 2, taller, 0);
    RECT frame;
    GetWindowRect(page, &frame);
    SetWindowPos(page, nullptr, 0, 0, Width(frame) + wider, Height(frame) + taller,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (runReport.undone != 0)
            ShowUndone(page);
        // Placed once it has its size.
        PlaceDialog(page, static_cast<int>(lParam));
        return TRUE;
    case WM_COMMAND:
        // Only Finish ends the page: Esc and command 2 do nothing.
        if (LOWORD(wParam) == IDOK) {
            EndDialog(page, IDOK);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
