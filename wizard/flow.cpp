// The wizard flow: the road of one installation, page by page.
#include "wizard/wizard.h"
#include "catalogue/catalogue.h"
#include "install/install.h"
#include "install/recordfile.h"
#include "integration/integration.h"
#include "resources/resource.h"
#include "shell/runreport.h"

namespace {

// The places of the flow, and its ways out.  Each step returns the next.
enum WizardStep {
    kChoosePage,        // after the search, and back from pages 3 and 4
    kExistingPage,
    kDestinationPage,
    kComponentsPage,
    kCopy,
    kGroupPage,
    kMakeGroup,         // Program Manager's group, then the registry
    kFinishPage,

    // Ways out that box 11 explains: the user did not choose them.
    kNoCatalogue,       // setup.inf cannot be found or opened
    kBadCatalogue,      // setup.inf is cut off, malformed or names unsafe files
    kNoMemory,          // the catalogue's table cannot be allocated
    kPageNotShown,      // a page could not be created
    // Ways out the user knows of already.
    kCancelled,         // a page's Cancel, confirmed with box 2
    kCopyEnded,         // copying failed or was stopped, after the engine's own boxes
    kFinished,          // the finish page was closed
};

// What the flow holds for one run.
struct WizardRun {
    HWND owner;                  // the backdrop, owner of every page
    InstallOptions options;
    CatalogueEntry* entries;     // local memory from LoadCatalogue
    int32_t foundLength;         // of options.foundList: 4 when empty, -1 when none
    int showDestination;         // 1 while the destination page is on the user's road,
                                 // 0 after choosing to install over an earlier installation
    GroupChoice group;           // filled by the program-group page
    uint32_t entry;              // the destination's Add/Remove Programs entry (registrytext.h)
    int entryMade;               // 1 when this run made it: no earlier installation's
};

// The ways out of a page that end the installation.  1 when result is one
// of them; *way says which.
int EndsInstallation(int result, WizardStep* way)
{
    if (result == IDCANCEL) {
        *way = kCancelled;
        return 1;
    }
    if (result == kPageNotCreated) {
        *way = kPageNotShown;
        return 1;
    }
    return 0;
}

int RunRecordPage(WizardRun* run, int templateId, DLGPROC procedure)
{
    return RunPage(run->owner, templateId, reinterpret_cast<LPARAM>(&run->options), procedure);
}

// The please-wait page while the catalogue is read and the fixed drives are
// searched.  A please-wait page that cannot be made is no reason to stop:
// the work goes on without it.
WizardStep Prepare(WizardRun* run)
{
    HWND pleaseWait = OpenPanel(run->owner, IDD_PLEASE_WAIT, kPlaceCentred, PlainDialogProc);
    int read = LoadCatalogue(&run->entries, &run->options);
    if (read == kCatalogueOk) {
        HLOCAL found = nullptr;
        run->foundLength = FindInstallations(pleaseWait, &found);
        run->options.foundList = found;
    }
    if (pleaseWait != nullptr)
        DestroyWindow(pleaseWait);
    switch (read) {
    case kCatalogueOk:
        return kChoosePage;
    case kCatalogueMissing:
        return kNoCatalogue;
    case kCatalogueNoMemory:
        return kNoMemory;
    default:
        return kBadCatalogue;
    }
}

// The existing-installations page when the search found any, else the
// destination page.  A list that could not be made (-1) counts as empty.
WizardStep ChoosePage(WizardRun* run)
{
    if (run->foundLength > kFoundListHeaderBytes)
        return kExistingPage;
    run->showDestination = 1;
    return kDestinationPage;
}

WizardStep ExistingPage(WizardRun* run)
{
    int result = RunRecordPage(run, IDD_EXISTING, ExistingInstallationsPageProc);
    WizardStep way;
    if (EndsInstallation(result, &way))
        return way;
    if (result == IDC_INSTALL_OVER) {
        run->showDestination = 0;
        return kComponentsPage;
    }
    // Another directory; also a missing template, which ends like a page
    // with 1 and leaves destDir empty.
    run->showDestination = 1;
    return kDestinationPage;
}

WizardStep DestinationPage(WizardRun* run)
{
    int result = RunRecordPage(run, IDD_DESTINATION, DestinationPageProc);
    WizardStep way;
    if (EndsInstallation(result, &way))
        return way;
    return result == IDC_DEST_BACK ? kChoosePage : kComponentsPage;
}

WizardStep ComponentsPage(WizardRun* run)
{
    int result = RunRecordPage(run, IDD_COMPONENTS, ComponentsPageProc);
    WizardStep way;
    if (EndsInstallation(result, &way))
        return way;
    if (result == IDC_COMPONENTS_BACK)
        return run->showDestination ? kDestinationPage : kChoosePage;
    return kCopy;
}

// Once copying has begun there is no way back to the earlier pages.
WizardStep CopyFiles(WizardRun* run)
{
    // Whatever was copied stays, also when copying fails or stops; the
    // record says what, for the removal.  Without a record the installation
    // goes on: it only cannot be removed, and the finish page says so.
    // Add/Remove Programs lists Tovarin before the first file of the
    // catalogue is written, so that whatever stops the installation can be
    // removed; but only once the record and the removal program are there,
    // so that the entry never promises a removal that cannot be made.
    const char* destDir = run->options.destDir;
    int existed = 0;
    run->entry = FindRemovalEntry(destDir, &existed);
    if (OpenRecord(destDir) && WriteRemovalProgram(destDir) && RecordIsWhole() &&
        RegisterRemoval(destDir, run->entry, 0))
        run->entryMade = !existed;
    else
        runReport.undone |= kUndoneRecord;
    if (InstallFiles(run->owner, run->entries, &run->options) < 0)
        return kCopyEnded;
    return kGroupPage;
}

// Once the record is closed, on every way out after the copy began: an
// entry this run made is taken back when the record failed since, as the
// removal could no longer take away what the record misses.  An earlier
// installation's entry for the same destination stays: its own lines are
// in the record, and its removal still works for them.
void SettleRemovalEntry(WizardRun* run)
{
    if (run->entry == 0)
        return;
    if (!RecordIsWhole())
        runReport.undone |= kUndoneRecord;
    if ((runReport.undone & kUndoneRecord) && run->entryMade) {
        DeleteRemovalEntry(run->entry);
        run->entryMade = 0;
    }
}

WizardStep GroupPage(WizardRun* run)
{
    int result = RunPage(run->owner, IDD_GROUP, reinterpret_cast<LPARAM>(&run->group),
                         ProgramGroupPageProc);
    WizardStep way;
    if (EndsInstallation(result, &way))
        return way;
    return kMakeGroup;
}

WizardStep MakeGroup(WizardRun* run)
{
    const InstallOptions& options = run->options;
    // What Program Manager or the registry did not take, the finish page
    // says; neither ends the installation.
    CreateProgramGroup(options.destDir, &run->group, options.selectedMask & kGuideComponent, run->entry);
    if (!RegisterShellTypes(options.destDir, runReport.templatePath))
        runReport.undone |= kUndoneRegistry;
    CloseRecord();
    SettleRemovalEntry(run);
    if (!(runReport.undone & kUndoneRecord))
        RegisterRemoval(options.destDir, run->entry, (options.requiredBytes >> 10) + 1);
    return kFinishPage;
}

// Its result is not looked at: only Finish closes it.
WizardStep FinishPage(WizardRun* run)
{
    RunPage(run->owner, IDD_FINISH, kPlaceCentred, FinishPageProc);
    return kFinished;
}

// Box 11, owned by the backdrop, says why the run stops.
void SayWhyItStops(HWND owner, WizardStep way)
{
    int text = IDS_STOP_NO_PAGE;
    switch (way) {
    case kNoCatalogue:
        text = IDS_STOP_NO_CATALOGUE;
        break;
    case kBadCatalogue:
        text = IDS_STOP_BAD_CATALOGUE;
        break;
    case kNoMemory:
        text = IDS_STOP_NO_MEMORY;
        break;
    default:
        break;
    }
    ShowMessageString(owner, MSG_RUN_STOPPED, text);
}

// Frees what the flow holds: the found list, then the catalogue entries.
// Nothing installed is rolled back.
void ReleaseRun(WizardRun* run)
{
    CloseRecord();
    SettleRemovalEntry(run);
    if (run->options.foundList != nullptr)
        LocalFree(run->options.foundList);
    run->options.foundList = nullptr;
    if (run->entries != nullptr)
        LocalFree(run->entries);
    run->entries = nullptr;
}

}  // namespace

void RunWizard(HWND owner)
{
    WizardRun run = {};
    run.owner = owner;
    run.showDestination = 1;
    StartRecording();

    WizardStep step = Prepare(&run);
    for (;;) {
        switch (step) {
        case kChoosePage:
            step = ChoosePage(&run);
            break;
        case kExistingPage:
            step = ExistingPage(&run);
            break;
        case kDestinationPage:
            step = DestinationPage(&run);
            break;
        case kComponentsPage:
            step = ComponentsPage(&run);
            break;
        case kCopy:
            step = CopyFiles(&run);
            break;
        case kGroupPage:
            step = GroupPage(&run);
            break;
        case kMakeGroup:
            step = MakeGroup(&run);
            break;
        case kFinishPage:
            step = FinishPage(&run);
            break;

        case kNoCatalogue:
        case kBadCatalogue:
        case kNoMemory:
        case kPageNotShown:
            SayWhyItStops(owner, step);
            ReleaseRun(&run);
            return;
        case kCancelled:
        case kCopyEnded:
        case kFinished:
            ReleaseRun(&run);
            return;
        }
    }
}
