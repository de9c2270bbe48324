// The component check boxes and the size figures of the component pages.
#include "catalogue/catalogue.h"
#include "base/paths.h"
#include "resources/resource.h"

void InitComponentControls(HWND page, const InstallOptions* options)
{
    // The base has no box, and GetDlgItem(page, -1) would find the page's
    // first static text: the boxes start at the first main component.
    for (uint32_t bit = kBaseComponent << 1; bit <= 0x20000u; bit <<= 1) {
        HWND box = GetDlgItem(page, ComponentControlId(bit));
        if (box == nullptr)
            continue;  // the optional ones live on page 5
        if (options->componentBytes[ComponentIndex(bit)] != 0)
            CheckDlgButton(page, ComponentControlId(bit),
                           (options->selectedMask & bit) ? BST_CHECKED : BST_UNCHECKED);
        else
            EnableWindow(box, FALSE);
    }

    if (OptionalSelectedBytes(options) != 0) {
        CheckDlgButton(page, IDC_OPTIONAL_GROUP,
                       options->optionalGroupOn ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(GetDlgItem(page, IDC_DETAILS), options->optionalGroupOn == 1);
    } else {
        EnableWindow(GetDlgItem(page, IDC_OPTIONAL_GROUP), FALSE);
        EnableWindow(GetDlgItem(page, IDC_DETAILS), FALSE);
    }

    SetDlgItemInt(page, IDC_REQUIRED_KB, BytesToKB(options->requiredBytes), FALSE);
    SetDlgItemInt(page, IDC_FREE_KB, FreeSpaceKB(options->destDir), FALSE);
}

void AdjustRequiredBytes(HWND page, InstallOptions* options, uint32_t bit)
{
    ApplyComponentToggle(options, bit);
    SetDlgItemInt(page, IDC_REQUIRED_KB, BytesToKB(options->requiredBytes), FALSE);
}
