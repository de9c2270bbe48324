// Showing dialog templates: pages (modal), panels (modeless) and message
// boxes, and where they go on the screen.
#include "shell/dialogs.h"
#include "resources/resource.h"
#include "shell/shell.h"
#include "shell/answers.h"
#include "shell/boxfit.h"
#include "base/text.h"
#include "base/resources.h"

namespace {

// The template of a dialog in this module, or null.
LPCDLGTEMPLATEA FindTemplate(int templateId)
{
    DWORD size;
    return static_cast<LPCDLGTEMPLATEA>(
        LockLanguageResource(appInstance, MAKEINTRESOURCEA(5) /* RT_DIALOG */, templateId, &size));
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
    // A box that cannot be shown answers what changes nothing or stops.
    if (FindTemplate(IDD_MESSAGE_BASE + n) == nullptr)
        return MessageAnswer(n, kPageNotCreated);
    int result = RunPage(owner != nullptr ? owner : mainWindow, IDD_MESSAGE_BASE + n,
                         reinterpret_cast<LPARAM>(text), MessageBoxProc);
    return MessageAnswer(n, result);
}

int LoadResourceText(int id, char* out, int capacity)
{
    return LoadLanguageString(appInstance, id, out, capacity);
}

// Every string a box shows as it is: boxes 11 and 12.
static_assert(IDS_STOP_NO_CATALOGUE_BYTES == kTextBytes && IDS_STOP_BAD_CATALOGUE_BYTES == kTextBytes &&
                  IDS_STOP_NO_MEMORY_BYTES == kTextBytes && IDS_STOP_NO_PAGE_BYTES == kTextBytes &&
                  IDS_STOP_CTL3D_BYTES == kTextBytes && IDS_DEST_NOT_FULL_BYTES == kTextBytes &&
                  IDS_DEST_NETWORK_BYTES == kTextBytes && IDS_DEST_CHARACTERS_BYTES == kTextBytes,
              "a box's string loads into a buffer of another size");

int ShowMessageString(HWND owner, int n, int stringId)
{
    // Without its string the box shows its template's own text.
    char text[kTextBytes];
    return ShowMessage(owner, n, LoadResourceText(stringId, text, sizeof text) ? text : nullptr);
}

namespace {



// Windows keeps every window that a box's owner owns above that owner.
// Wine may put the owner back over them while the box comes up (seen under
// load with the copy-progress page, which vanished behind the backdrop while
// box 9 or 10 waited).  The owner's other visible windows that lie below it
// are put back just above it, in the order they had.
void KeepOwnedWindowsAbove(HWND owner, HWND box)
{
    if (owner == nullptr)
        return;
    HWND below[16];
    int count = 0;
    for (HWND w = GetWindow(owner, GW_HWNDNEXT); w != nullptr && count < 16; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != box && GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w))
            below[count++] = w;
    }
    for (int i = 0; i < count; ++i) {
        HWND above = GetWindow(owner, GW_HWNDPREV);
        SetWindowPos(below[i], above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

}  // namespace

INT_PTR CALLBACK MessageBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
    case WM_WINDOWPOSCHANGED:
        KeepOwnedWindowsAbove(GetWindow(dialog, GW_OWNER), dialog);
        return FALSE;
    case WM_INITDIALOG:
        // No text, or an empty one, leaves the template's own.
        if (lParam != 0 && *reinterpret_cast<const char*>(lParam) != '\0') {
            SetDlgItemTextA(dialog, IDC_MESSAGE_TEXT, reinterpret_cast<const char*>(lParam));
            FitBoxToText(dialog, IDC_MESSAGE_TEXT);
        }
        PlaceDialog(dialog, kPlaceCentred);
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
