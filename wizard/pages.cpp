// The chores that every page of the main path shares.
#include "wizard/pages.h"
#include "resources/resource.h"
#include "shell/dialogs.h"
#include "shell/shell.h"

void BeginPage(HWND page, PageState* state, LPARAM lParam)
{
    PlaceDialog(page, kPlaceCentred);
    state->record = reinterpret_cast<void*>(lParam);
    state->panel = nullptr;
}

void OpenPagePanel(PageState* state, int panelId)
{
    state->panel = OpenPanel(mainWindow, panelId, kPlaceBottom, PlainDialogProc);
}

void EndPage(HWND page, PageState* state, int result)
{
    if (state->panel != nullptr)
        DestroyWindow(state->panel);
    state->panel = nullptr;
    EndDialog(page, result);
}

void CancelPage(HWND page, PageState* state)
{
    if (LOWORD(ShowMessage(page, MSG_CONFIRM_CANCEL, nullptr)) == ANSWER_CANCEL_SETUP)
        EndPage(page, state, IDCANCEL);
}
