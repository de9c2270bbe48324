// The removal program's progress page and boxes.
#include "remove/remove.h"
#include "shell/boxfit.h"
#include "base/resources.h"
#include "resources/tvremove.h"

namespace {

LPCDLGTEMPLATEA FindTemplate(int templateId)
{
    DWORD size;
    return static_cast<LPCDLGTEMPLATEA>(
        LockLanguageResource(removeInstance, MAKEINTRESOURCEA(5) /* RT_DIALOG */, templateId, &size));
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


INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        // No text, or an empty one, leaves the template's own.
        if (lParam != 0 && *reinterpret_cast<const char*>(lParam) != '\0') {
            SetDlgItemTextA(dialog, IDC_BOX_TEXT, reinterpret_cast<const char*>(lParam));
            FitBoxToText(dialog, IDC_BOX_TEXT);
        }
        // The last box only informs: it shows the system's own sign for that.
        SendDlgItemMessageA(dialog, IDC_BOX_ICON_BASE + BOX_REMOVED, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_ASTERISK)), 0);
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
    LoadLanguageString(removeInstance, id, out, capacity);
}

namespace {

// The progress page while it is up: the owner of every box then, so that
// it waits, disabled, behind the box.
HWND progressPage;

}  // namespace

int ShowBox(int n, const char* text)
{
    LPCDLGTEMPLATEA box = FindTemplate(REMOVE_BOX_BASE + n);
    if (box == nullptr)
        return 2;
    INT_PTR answer = DialogBoxIndirectParamA(removeInstance, box, progressPage, BoxProc,
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
    progressPage = window;
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
    progressPage = nullptr;
    Drain();
}
