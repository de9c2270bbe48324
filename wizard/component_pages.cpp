// The components page (template 4) and the custom components page
// (template 5): what to install, weighed against the free space.
#include "wizard/wizard.h"
#include "wizard/pages.h"
#include "catalogue/options.h"
#include "install/install.h"
#include "resources/resource.h"
#include "shell/dialogs.h"
#include "base/text.h"

namespace {

PageState componentsPage;
PageState customPage;

// A KB figure as the user's language writes it: German parts the thousands
// with a point, French with a no-break space, English not at all.
void ShowKB(HWND page, int id, uint32_t kb)
{
    char mark[IDS_DIGIT_GROUPING_BYTES], text[16];
    char separator = LoadResourceText(IDS_DIGIT_GROUPING, mark, sizeof mark) == 1 ? mark[0] : 0;
    FormatGrouped(kb, separator, text, sizeof text);
    SetDlgItemTextA(page, id, text);
}

void ShowRequiredKB(HWND page, const InstallOptions* options)
{
    ShowKB(page, IDC_REQUIRED_KB, BytesToKB(options->requiredBytes));
}

// The check boxes of the components that the page holds (the main ones on
// the components page, the optional ones on the custom page): checked as
// the selection says, or disabled, with their template state, when the
// component has no files.  Then the two size figures.
void InitComponentBoxes(HWND page, const InstallOptions* options)
{
    // The base has no box, and GetDlgItem(page, -1) would find the page's
    // first static text: the boxes start at the first main component.
    for (uint32_t bit = kBaseComponent << 1; bit <= 0x20000u; bit <<= 1) {
        HWND box = GetDlgItem(page, ComponentControlId(bit));
        if (box == nullptr)
            continue;  // on the other page
        if (options->componentBytes[ComponentIndex(bit)] != 0)
            CheckDlgButton(page, ComponentControlId(bit),
                           (options->selectedMask & bit) ? BST_CHECKED : BST_UNCHECKED);
        else
            EnableWindow(box, FALSE);
    }
    ShowRequiredKB(page, options);
    ShowKB(page, IDC_FREE_KB, FreeSpaceKB(options->destDir));
}

// The optional group's box and the details button: while no optional
// component is selected there is nothing to switch, and both stay off for
// as long as the page is open.
void InitOptionalGroup(HWND page, const InstallOptions* options)
{
    if (OptionalSelectedBytes(options) != 0) {
        CheckDlgButton(page, IDC_OPTIONAL_GROUP,
                       options->optionalGroupOn ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(GetDlgItem(page, IDC_DETAILS), options->optionalGroupOn == 1);
    } else {
        EnableWindow(GetDlgItem(page, IDC_OPTIONAL_GROUP), FALSE);
        EnableWindow(GetDlgItem(page, IDC_DETAILS), FALSE);
    }
}

// A click on a component's box (automatic: it has flipped its own mark):
// the selection and the required bytes follow it.
void SwitchComponent(HWND page, InstallOptions* options, int box)
{
    uint32_t bit = ControlComponentBit(box);
    ToggleComponent(&options->selectedMask, bit);
    ApplyComponentToggle(options, bit);
    ShowRequiredKB(page, options);
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
        InitComponentBoxes(page, PageOptions(state));
        InitOptionalGroup(page, PageOptions(state));
        OpenPagePanel(state, IDD_PANEL_COMPONENTS);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        InstallOptions* options = PageOptions(state);
        if (id >= IDC_MAIN_FIRST && id <= IDC_MAIN_LAST) {
            SwitchComponent(page, options, id);
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
    case WM_INITDIALOG:
        BeginPage(page, state, lParam);
        InitComponentBoxes(page, PageOptions(state));
        // The page belongs to the components page; its panel, like every
        // panel, to the backdrop.
        OpenPagePanel(state, IDD_PANEL_CUSTOM);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id >= IDC_OPTIONAL_FIRST && id <= IDC_OPTIONAL_LAST) {
            SwitchComponent(page, PageOptions(state), id);
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
