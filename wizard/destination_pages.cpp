// The existing-installations page (template 2) and the destination page
// (template 3): both settle destDir.
#include "wizard/wizard.h"
#include "wizard/pages.h"
#include "catalogue/options.h"
#include "install/install.h"
#include "install/record.h"
#include "integration/foundlist.h"
#include "resources/resource.h"

namespace {

PageState existingPage;
PageState destinationPage;

// 1 when the found list holds at least one installation.
int HasFoundInstallations(const InstallOptions* options)
{
    if (options->foundList == nullptr)
        return 0;
    const uint8_t* block = static_cast<const uint8_t*>(LocalLock(options->foundList));
    if (block == nullptr)
        return 0;
    int found = FoundListLength(block) > kFoundListHeaderBytes;
    LocalUnlock(options->foundList);
    return found;
}

void FillFoundList(HWND page, const InstallOptions* options)
{
    HLOCAL list = options->foundList;
    const uint8_t* block = list != nullptr ? static_cast<const uint8_t*>(LocalLock(list)) : nullptr;
    if (block == nullptr)
        return;
    uint32_t offset = kFoundListHeaderBytes;
    while (const char* dir = NextFoundEntry(block, LocalSize(list), &offset))
        SendDlgItemMessageA(page, IDC_FOUND_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(dir));
    LocalUnlock(list);
}

// Settles keepSettings for the destination just chosen, on either page.
// A settings file there ("tovarin.tvs") is replaced only when the user says
// so in box 1; and the copy engine keeps every settings file that is there
// while keepSettings is 1, so where nobody was asked, nothing is replaced.
// The answer holds for this destination only: choosing another one asks
// again.
void SettleSettingsFile(HWND page, InstallOptions* options)
{
    options->keepSettings = 1;
    // A path too long to name the settings file cannot be opened either.
    char settings[kPathBytes];
    if (JoinPath(options->destDir, "tovarin.tvs", settings, sizeof settings) == 0)
        return;
    // A settings file held open by a running Tovarin is there all the same.
    if (!FileExists(settings))
        return;
    if (LOWORD(ShowMessage(page, MSG_KEEP_SETTINGS, nullptr)) != ANSWER_KEEP_SETTINGS)
        options->keepSettings = 0;
}

// Installing over the selected installation: takes its directory and asks
// whether a settings file found there is to be kept.
void InstallOverSelected(HWND page, InstallOptions* options)
{
    LRESULT selected = SendDlgItemMessageA(page, IDC_FOUND_LIST, LB_GETCURSEL, 0, 0);
    LRESULT length = selected != LB_ERR
                         ? SendDlgItemMessageA(page, IDC_FOUND_LIST, LB_GETTEXTLEN, selected, 0)
                         : LB_ERR;
    if (length != LB_ERR && length < kPathBytes)
        SendDlgItemMessageA(page, IDC_FOUND_LIST, LB_GETTEXT, selected,
                            reinterpret_cast<LPARAM>(options->destDir));
    SettleSettingsFile(page, options);
}

// After a box about what was typed: the user types again.
void ReturnToDestinationText(HWND page)
{
    SetFocus(GetDlgItem(page, IDC_DEST_EDIT));
    SendDlgItemMessageA(page, IDC_DEST_EDIT, EM_SETSEL, 0, -1);
}

// Box 12 when path is no full path on a drive, or holds a character that
// names cannot.  The whole form (WholePath) must moreover be a path the
// record can name: not a device ("C:\TOVARIN\CON" is "\\.\CON") nor one
// with a part that stayed "..".  1 when it is one.
int IsFullDrivePath(HWND page, const char* path, int whole)
{
    int text;
    switch (whole && !IsPlainAbsolutePath(path) ? kNotFullPath : CheckDrivePath(path)) {
    case kDrivePathOk:
        return 1;
    case kNetworkPath:
        text = IDS_DEST_NETWORK;
        break;
    case kBadNameCharacter:
        text = IDS_DEST_CHARACTERS;
        break;
    default:
        text = IDS_DEST_NOT_FULL;
        break;
    }
    ShowMessageString(page, MSG_BAD_DESTINATION, text);
    ReturnToDestinationText(page);
    return 0;
}

// Next on the destination page: the directory must be a full path on a
// drive and exist, or be created on request.  What was typed is made whole
// and put in the field, and so into destDir: the record, the registry and
// the group name the directory in this one spelling, whatever doubled
// backslash, "." or ".." part or trailing dot was typed.  1 when the page
// may end.
int AcceptDestination(HWND page, const InstallOptions* options)
{
    if (options->destDir[0] == '\0')
        return 0;  // next is disabled then; a stray command does nothing
    if (!IsFullDrivePath(page, options->destDir, 0))
        return 0;
    // Empty when it cannot be made whole, or would not fit: refused then.
    char whole[kPathBytes];
    WholePath(options->destDir, whole);
    if (!IsFullDrivePath(page, whole, 1))
        return 0;
    SetDlgItemTextA(page, IDC_DEST_EDIT, whole);
    if (DirectoryExists(options->destDir))
        return 1;
    if (LOWORD(ShowMessage(page, MSG_CREATE_DIR, nullptr)) != ANSWER_CREATE_DIR)
        return 0;
    if (CreateDirectoryPath(options->destDir) && DirectoryExists(options->destDir))
        return 1;
    ShowMessage(page, MSG_CANNOT_CREATE_DIR, nullptr);
    ReturnToDestinationText(page);
    return 0;
}

}  // namespace

INT_PTR CALLBACK ExistingInstallationsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    PageState* state = &existingPage;
    switch (message) {
    case WM_INITDIALOG:
        BeginPage(page, state, lParam);
        FillFoundList(page, PageOptions(state));
        SendDlgItemMessageA(page, IDC_FOUND_LIST, LB_SETCURSEL, 0, 0);
        OpenPagePanel(state, IDD_PANEL_EXISTING);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_INSTALL_OVER:
            InstallOverSelected(page, PageOptions(state));
            EndPage(page, state, IDC_INSTALL_OVER);
            return TRUE;
        case IDC_OTHER_DIRECTORY:
            EndPage(page, state, IDC_OTHER_DIRECTORY);
            return TRUE;
        case IDCANCEL:
            CancelPage(page, state);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    PageState* state = &destinationPage;
    switch (message) {
    case WM_INITDIALOG: {
        BeginPage(page, state, lParam);
        InstallOptions* options = PageOptions(state);
        // The edit control holds no more than a path buffer can take.
        SendDlgItemMessageA(page, IDC_DEST_EDIT, EM_LIMITTEXT, kPathBytes - 1, 0);
        if (options->destDir[0] != '\0') {
            SetDlgItemTextA(page, IDC_DEST_EDIT, options->destDir);
            SendDlgItemMessageA(page, IDC_DEST_EDIT, EM_SETSEL, 0, -1);
            EnableWindow(GetDlgItem(page, IDC_DEST_NEXT), TRUE);
        } else {
            EnableWindow(GetDlgItem(page, IDC_DEST_NEXT), FALSE);
        }
        if (!HasFoundInstallations(options))
            ShowWindow(GetDlgItem(page, IDC_DEST_BACK), SW_HIDE);
        OpenPagePanel(state, IDD_PANEL_DESTINATION);
        return TRUE;
    }
    case WM_COMMAND: {
        InstallOptions* options = PageOptions(state);
        switch (LOWORD(wParam)) {
        case IDC_DEST_EDIT:
            if (HIWORD(wParam) != EN_CHANGE)
                return FALSE;
            GetDlgItemTextA(page, IDC_DEST_EDIT, options->destDir, kPathBytes);
            EnableWindow(GetDlgItem(page, IDC_DEST_NEXT), options->destDir[0] != '\0');
            return TRUE;
        case IDC_DEST_NEXT:
            // A directory typed by hand may hold an installation that the
            // search never finds (on a network drive): its settings are
            // asked about as on the existing-installations page.
            if (AcceptDestination(page, options)) {
                SettleSettingsFile(page, options);
                EndPage(page, state, IDC_DEST_NEXT);
            }
            return TRUE;
        case IDC_DEST_BACK:
            EndPage(page, state, IDC_DEST_BACK);
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
