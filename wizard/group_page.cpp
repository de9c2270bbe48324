// The program-group page (template 8): the user picks one of Program
// Manager's groups or types the name of a new one.
#include "wizard/wizard.h"
#include "wizard/pages.h"
#include "catalogue/options.h"
#include "integration/integration.h"
#include "integration/progmantext.h"
#include "resources/resource.h"

namespace {

// Its record is the flow's GroupChoice.
PageState groupPage;

GroupChoice* Choice(const PageState* state)
{
    return static_cast<GroupChoice*>(state->record);
}

char* GroupName(const PageState* state)
{
    return Choice(state)->name;
}

// 1 when the chosen name is one of Program Manager's groups: any list item
// but the default name the page added (item data 1).
int ChoiceIsListed(HWND page, const char* groupName)
{
    LRESULT found = SendDlgItemMessageA(page, IDC_GROUP_LIST, LB_FINDSTRINGEXACT,
                                        static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(groupName));
    return found != LB_ERR && SendDlgItemMessageA(page, IDC_GROUP_LIST, LB_GETITEMDATA, found, 0) == 0;
}

// A name that would break out of Program Manager's commands cannot be
// used: OK stays disabled until it is mended, and the panel says why.
void CheckGroupName(HWND page, const char* groupName)
{
    EnableWindow(GetDlgItem(page, IDOK), IsSafeGroupName(groupName));
}

}  // namespace

INT_PTR CALLBACK ProgramGroupPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    PageState* state = &groupPage;
    switch (message) {
    case WM_INITDIALOG:
        BeginPage(page, state, lParam);
        SendDlgItemMessageA(page, IDC_GROUP_EDIT, EM_LIMITTEXT, kPathBytes - 1, 0);
        FillGroupList(page, GroupName(state));
        OpenPagePanel(state, IDD_PANEL_GROUP);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            Choice(state)->listed = ChoiceIsListed(page, GroupName(state));
            EndPage(page, state, IDOK);
            return TRUE;
        case IDCANCEL:
            CancelPage(page, state);
            return TRUE;
        case IDC_GROUP_LIST: {
            if (HIWORD(wParam) != LBN_SELCHANGE)
                return FALSE;
            HWND list = reinterpret_cast<HWND>(lParam);
            LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
            LRESULT length = selected != LB_ERR ? SendMessageA(list, LB_GETTEXTLEN, selected, 0) : LB_ERR;
            if (length != LB_ERR && length < kPathBytes) {
                SendMessageA(list, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(GroupName(state)));
                SetDlgItemTextA(page, IDC_GROUP_EDIT, GroupName(state));
            }
            return TRUE;
        }
        case IDC_GROUP_EDIT: {
            if (HIWORD(wParam) != EN_CHANGE)
                return FALSE;
            GetDlgItemTextA(page, IDC_GROUP_EDIT, GroupName(state), kPathBytes);
            LRESULT found = SendDlgItemMessageA(page, IDC_GROUP_LIST, LB_FINDSTRINGEXACT, 0,
                                                reinterpret_cast<LPARAM>(GroupName(state)));
            SendDlgItemMessageA(page, IDC_GROUP_LIST, LB_SETCURSEL, found, 0);
            CheckGroupName(page, GroupName(state));
            return TRUE;
        }
        }
        return FALSE;
    default:
        return FALSE;
    }
}
