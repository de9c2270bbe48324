// The removal program's progress page and boxes.
#include "remove/remove.h"
#include "resources/tvremove.h"

namespace {

LPCDLGTEMPLATEA FindTemplate(int templateId)
{
    HRSRC found = FindResourceA(removeInstance, MAKEINTRESOURCEA(templateId),
                                MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL loaded = found != nullptr ? LoadResource(removeInstance, found) : nullptr;
    return loaded != nullptr ? static_cast<LPCDLGTEMPLATEA>(LockResource(loaded)) : nullptr;
}

void Centre(HWND dialog)
{
    RECT frame;
    GetWindowRect(dialog, &frame);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    MoveWindow(dialog, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, TRUE);
}

void Drain()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// A box whose text is set at run time (a path, the names left) has a
// template sized for the longest: a shorter text moves the buttons up and
// shrinks the box by the lines it does not need.
void FitToText(HWND dialog)
{
    HWND text = GetDlgItem(dialog, IDC_BOX_TEXT);
    char content[kLeftBytes + 128];
    if (text == nullptr || GetWindowTextA(text, content, sizeof content) <= 0)
        return;
    RECT area;
    GetWindowRect(text, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    HDC dc = GetDC(text);
    if (dc == nullptr)
        return;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(text, WM_GETFONT, 0, 0));
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    RECT needed = {0, 0, area.right - area.left, 0};
    int measured = DrawTextA(dc, content, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (old != nullptr)
        SelectObject(dc, old);
    ReleaseDC(text, dc);
    int spare = (area.bottom - area.top) - (needed.bottom - needed.top);
    if (measured == 0 || spare <= 0)
        return;
    MoveWindow(text, area.left, area.top, area.right - area.left, area.bottom - area.top - spare, FALSE);
    for (int id = 1; id <= 3; ++id) {
        HWND button = GetDlgItem(dialog, id);
        if (button == nullptr)
            continue;
        RECT place;
        GetWindowRect(button, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        MoveWindow(button, place.left, place.top - spare, place.right - place.left, place.bottom - place.top, FALSE);
    }
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - spare,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (lParam != 0) {
            SetDlgItemTextA(dialog, IDC_BOX_TEXT, reinterpret_cast<const char*>(lParam));
            FitToText(dialog);
        }
        Centre(dialog);
        SetForegroundWindow(dialog);
        return TRUE;
    case WM_COMMAND: {
        // Esc and the close box come as 2: only a box with a button 2
        // takes them.
        int id = LOWORD(wParam);
        if (id >= 1 && id <= 3 && GetDlgItem(dialog, id) != nullptr) {
            EndDialog(dialog, id);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        Centre(dialog);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void LoadRemoveString(int id, char* out, int capacity)
{
    if (LoadStringA(removeInstance, static_cast<UINT>(id), out, capacity) <= 0)
        out[0] = '\0';
}

int ShowBox(int n, const char* text)
{
    LPCDLGTEMPLATEA box = FindTemplate(REMOVE_BOX_BASE + n);
    if (box == nullptr)
        return 2;
    INT_PTR answer = DialogBoxIndirectParamA(removeInstance, box, nullptr, BoxProc,
                                             reinterpret_cast<LPARAM>(text));
    Drain();
    // A box that could not be shown changes nothing: the answer that
    // removes the least.
    return answer >= 1 && answer <= 3 ? static_cast<int>(answer) : 2;
}

HWND OpenProgress()
{
    LPCDLGTEMPLATEA page = FindTemplate(IDD_REMOVE_PROGRESS);
    HWND window = page != nullptr
                      ? CreateDialogIndirectParamA(removeInstance, page, nullptr, ProgressProc, 0)
                      : nullptr;
    if (window != nullptr) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    Drain();
    return window;
}

void ShowProgress(RemovalRun* run, const char* name)
{
    if (run->stepsDone < run->steps)
        ++run->stepsDone;
    if (run->progress == nullptr)
        return;
    SetDlgItemTextA(run->progress, IDC_REMOVE_NAME, name);
    HWND frame = GetDlgItem(run->progress, IDC_REMOVE_FRAME);
    HWND bar = GetDlgItem(run->progress, IDC_REMOVE_BAR);
    if (frame != nullptr && bar != nullptr && run->steps > 0) {
        RECT area;
        GetWindowRect(frame, &area);
        MapWindowPoints(nullptr, run->progress, reinterpret_cast<POINT*>(&area), 2);
        int inner = area.right - area.left - 2;
        int width = static_cast<int>(static_cast<uint32_t>(inner) * run->stepsDone / run->steps);
        MoveWindow(bar, area.left + 1, area.top + 1, width, area.bottom - area.top - 2, TRUE);
    }
    UpdateWindow(run->progress);
    Drain();
}

void CloseProgress(RemovalRun* run)
{
    if (run->progress != nullptr)
        DestroyWindow(run->progress);
    run->progress = nullptr;
    Drain();
}
