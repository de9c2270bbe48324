// The wizard flow: the road of one installation, page by page.
#include "wizard/wizard.h"
#include "catalogue/catalogue.h"
#include "install/install.h"
#include "integration/integration.h"
#include "resources/resource.h"
#include "shell/runreport.h"

namespace {

// The places of the flow between pages.
enum WizardStep {
    kChoosePage,        // after the search, and back from pages 3 and 4
    kExistingPage,
    kDestinationPage,
    kComponentsPage,
    kCopy,
    kGroupPage,         // then the finish page, and the flow returns
};

// Frees what the flow holds when a page ends the installation.
void ReleaseRun(CatalogueEntry* entries, InstallOptions* options)
{
    if (options->foundList != nullptr)
        LocalFree(options->foundList);
    options->foundList = nullptr;
    LocalFree(entries);
}

int EndsInstallation(int result)
{
    return result == IDCANCEL || result == kPageNotCreated;
}

}  // namespace

void RunWizard(HWND owner)
{
    InstallOptions options = {};
    CatalogueEntry* entries = nullptr;
    char groupName[kPathBytes] = "";

    HWND pleaseWait = OpenPanel(owner, IDD_PLEASE_WAIT, kPlaceCentred, PlainDialogProc);
    if (LoadCatalogue(&entries, &options) < 0) {
        if (pleaseWait != nullptr)
            DestroyWindow(pleaseWait);
        return;
    }
    HLOCAL found = nullptr;
    int32_t foundLength = FindInstallations(pleaseWait, &found);
    options.foundList = found;
    if (pleaseWait != nullptr)
        DestroyWindow(pleaseWait);

    // 1 while the destination page is on the user's road; 0 after choosing
    // to install over an earlier installation.
    int showDestination = 1;
    WizardStep step = kChoosePage;
    for (;;) {
        switch (step) {
        case kChoosePage:
            step = foundLength > kFoundListHeaderBytes ? kExistingPage : kDestinationPage;
            if (step == kDestinationPage)
                showDestination = 1;
            break;

        case kExistingPage: {
            int result = RunPage(owner, IDD_EXISTING, reinterpret_cast<LPARAM>(&options),
                                 ExistingInstallationsPageProc);
            if (EndsInstallation(result)) {
                ReleaseRun(entries, &options);
                return;
            }
            if (result == IDC_INSTALL_OVER) {
                showDestination = 0;
                step = kComponentsPage;
            } else {
                // Another directory; also a missing template, which ends
                // like a page with 1 and leaves destDir empty.
                showDestination = 1;
                step = kDestinationPage;
            }
            break;
        }

        case kDestinationPage: {
            int result = RunPage(owner, IDD_DESTINATION, reinterpret_cast<LPARAM>(&options),
                                 DestinationPageProc);
            if (EndsInstallation(result)) {
                ReleaseRun(entries, &options);
                return;
            }
            step = result == IDC_DEST_BACK ? kChoosePage : kComponentsPage;
            break;
        }

        case kComponentsPage: {
            int result = RunPage(owner, IDD_COMPONENTS, reinterpret_cast<LPARAM>(&options),
                                 ComponentsPageProc);
            if (EndsInstallation(result)) {
                ReleaseRun(entries, &options);
                return;
            }
            if (result == IDC_COMPONENTS_BACK)
                step = showDestination ? kDestinationPage : kChoosePage;
            else
                step = kCopy;
            break;
        }

        case kCopy:
            // Whatever was copied stays, also when copying fails or stops.
            if (InstallFiles(owner, entries, &options) < 0)
                return;
            step = kGroupPage;
            break;

        case kGroupPage: {
            int result = RunPage(owner, IDD_GROUP, reinterpret_cast<LPARAM>(groupName),
                                 ProgramGroupPageProc);
            if (EndsInstallation(result)) {
                ReleaseRun(entries, &options);
                return;
            }
            CreateProgramGroup(options.destDir, groupName, options.selectedMask & kGuideComponent);
            if (!RegisterShellTypes(options.destDir, runReport.templatePath))
                runReport.undone |= kUndoneRegistry;
            LocalFree(entries);
            if (options.foundList != nullptr)
                LocalFree(options.foundList);
            RunPage(owner, IDD_FINISH, kPlaceCentred, PlainDialogProc);
            return;
        }
        }
    }
}
