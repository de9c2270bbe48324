// The run sequence: backdrop, 3D controls, wizard, and out with code 0.
#include "shell/shell.h"
#include "resources/resource.h"
#include "shell/dialogs.h"
#include "base/paths.h"
#include "base/resources.h"
#include "wizard/wizard.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The command line and the show mode are ignored: the program takes no
    // options, and the backdrop always opens normally.
    HMODULE ctl3d = nullptr;
    // An empty floppy drive is the installer's own question (box 9), not
    // the system's "drive not ready" box.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    // Every text and picture from here on is in the user's language.
    UseSystemCodePage();
    ChooseResourceLanguage(instance);

    // A stop before the first page is said in box 11, owned by the backdrop
    // (by nothing when there is none), so that no run ends unexplained.
    if (!CreateBackdropWindow(instance, &mainWindow)) {
        ShowMessageString(nullptr, MSG_RUN_STOPPED, IDS_STOP_NO_PAGE);
        return 0;
    }
    // On 0 the library stays loaded and announced until the process ends.
    if (!EnableCtl3d(&ctl3d)) {
        ShowMessageString(mainWindow, MSG_RUN_STOPPED, IDS_STOP_CTL3D);
        return 0;
    }
    RunWizard(mainWindow);
    ReleaseCtl3d(ctl3d);
    return 0;
}
