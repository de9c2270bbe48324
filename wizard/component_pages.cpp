// The components page (template 4) and the custom components page
// (template 5): what to install, weighed against the free space.
#include "wizard/wizard.h"
#include "wizard/pages.h"
#include "catalogue/catalogue.h"
#include "install/install.h"
#include "resources/resource.h"

namespace {

PageState componentsPage;
PageState customPage;

void ShowRequiredKB(HWND page, const InstallOptions* options)
{
    SetDlgItemInt(page, IDC_REQUIRED_KB, BytesToKB(options->requiredBytes), FALSE);
}

// Next and back both weigh the selection against the free space first.
void LeaveComponentsPage(HWND page, PageState* state, int button)
{
    const InstallOptions* options = PageOptions(state);
    if (FreeSpaceKB(options->destDir) < BytesToKB(options->requiredBytes)) {
        switch (LOWORD(ShowMessage(page, MSG_LOW_DISK_SPACE, nullptr))) {
        case ANSWER_CHANGE_SELECTION:
            return;  // stay and change the selection
        case ANSWER_CANCEL_LOW_SPACE:
            EndPage(page, state, IDCANCEL);
            return;
        default:
            break;  // go on anyway
        }
    }
    EndPage(page, state, button);
}

// Runs the custom components page on a copy of the record; OK hands the
// copy back whole, anything else drops it.
void RunCustomComponents(HWND page, InstallOptions* options)
{
    InstallOptions copy = *options;
    if (RunPage(page, IDD_CUSTOM, reinterpret_cast<LPARAM>(&copy), CustomComponentsPageProc) != IDOK)
        return;
    *options = copy;
    ShowRequiredKB(page, options);
}

}  // namespace

INT_PTR CALLBACK ComponentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    PageState* state = &componentsPage;
    switch (message) {
    case WM_INITDIALOG:
        BeginPage(page, state, lParam);
        InitComponentControls(page, PageOptions(state));
        OpenPagePanel(state, IDD_PANEL_COMPONENTS);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        InstallOptions* options = PageOptions(state);
        if (id >= IDC_MAIN_FIRST && id <= IDC_MAIN_LAST) {
            uint32_t bit = ControlComponentBit(id);
            ToggleComponent(&options->selectedMask, bit);
            AdjustRequiredBytes(page, options, bit);
            return TRUE;
        }
        switch (id) {
        case IDC_OPTIONAL_GROUP:
            SwitchOptionalGroup(options);
            ShowRequiredKB(page, options);
            EnableWindow(GetDlgItem(page, IDC_DETAILS), options->optionalGroupOn == 1);
            return TRUE;
        case IDC_DETAILS:
            RunCustomComponents(page, options);
            return TRUE;
        case IDC_COMPONENTS_NEXT:
        case IDC_COMPONENTS_BACK:
            LeaveComponentsPage(page, state, id);
            return TRUE;
        case IDCANCEL:
            CancelPage(page, state);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CustomComponentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    PageState* state = &customPage;
    switch (message) {
    case WM_INITDIALOG: {
        BeginPage(page, state, lParam);
        const InstallOptions* options = PageOptions(state);
        for (uint32_t bit = 0x100; bit <= 0x20000u; bit <<= 1) {
            int box = ComponentControlId(bit);
            if (options->componentBytes[ComponentIndex(bit)] != 0)
                CheckDlgButton(page, box, (options->selectedMask & bit) ? BST_CHECKED : BST_UNCHECKED);
            else
                EnableWindow(GetDlgItem(page, box), FALSE);
        }
        ShowRequiredKB(page, options);
        SetDlgItemInt(page, IDC_FREE_KB, FreeSpaceKB(options->destDir), FALSE);
        // The page belongs to the components page; its panel, like every
        // panel, to the backdrop.
        OpenPagePanel(state, IDD_PANEL_CUSTOM);
        return TRUE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id >= IDC_OPTIONAL_FIRST && id <= IDC_OPTIONAL_LAST) {
            uint32_t bit = ControlComponentBit(id);
            ToggleComponent(&PageOptions(state)->selectedMask, bit);
            AdjustRequiredBytes(page, PageOptions(state), bit);
            return TRUE;
        }
        if (id == IDOK || id == IDCANCEL) {
            EndPage(page, state, id);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}
