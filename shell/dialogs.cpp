// Showing dialog templates: pages (modal), panels (modeless) and message
// boxes, and where they go on the screen.
#include "shell/dialogs.h"
#include "resources/resource.h"
#include "shell/shell.h"

namespace {

// The template of a dialog in this module, or null.
LPCDLGTEMPLATEA FindTemplate(int templateId)
{
    HRSRC found = FindResourceA(appInstance, MAKEINTRESOURCEA(templateId),
                                MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (found == nullptr)
        return nullptr;
    HGLOBAL loaded = LoadResource(appInstance, found);
    if (loaded == nullptr)
        return nullptr;
    return static_cast<LPCDLGTEMPLATEA>(LockResource(loaded));
}

}  // namespace

void DrainMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PlaceDialog(HWND dialog, int mode)
{
    RECT frame;
    GetWindowRect(dialog, &frame);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x, y;
    if (PlacementPosition(mode, GetSystemMetrics(SM_CXFULLSCREEN),
                          GetSystemMetrics(SM_CYFULLSCREEN), width, height, &x, &y))
        MoveWindow(dialog, x, y, width, height, TRUE);
}

int RunPage(HWND owner, int templateId, LPARAM initParam, DLGPROC procedure)
{
    LPCDLGTEMPLATEA dialogTemplate = FindTemplate(templateId);
    if (dialogTemplate == nullptr)
        return kPageNoTemplate;
    INT_PTR result = DialogBoxIndirectParamA(appInstance, dialogTemplate, owner, procedure, initParam);
    // Let the backdrop repaint what the dialog covered before the next step.
    DrainMessages();
    return static_cast<int>(result);
}

HWND OpenPanel(HWND owner, int templateId, LPARAM initParam, DLGPROC procedure)
{
    LPCDLGTEMPLATEA dialogTemplate = FindTemplate(templateId);
    if (dialogTemplate == nullptr)
        return nullptr;
    HWND panel = CreateDialogIndirectParamA(appInstance, dialogTemplate, owner, procedure, initParam);
    if (panel != nullptr)
        ShowWindow(panel, SW_SHOWNORMAL);
    DrainMessages();
    return panel;
}

int ShowMessage(HWND owner, int n, const char* text)
{
    return RunPage(owner != nullptr ? owner : mainWindow, IDD_MESSAGE_BASE + n,
                   reinterpret_cast<LPARAM>(text), MessageBoxProc);
}

INT_PTR CALLBACK MessageBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        PlaceDialog(dialog, kPlaceCentred);
        if (lParam != 0)
            SetDlgItemTextA(dialog, IDC_MESSAGE_TEXT, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ANSWER_1:
        case IDC_ANSWER_2:
        case IDC_ANSWER_3:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        PlaceDialog(dialog, static_cast<int>(lParam));
        return TRUE;
    case WM_COMMAND:
        // Only command 1 ends such a dialog: Esc and command 2 do nothing.
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
