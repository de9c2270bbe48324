// The run sequence: backdrop, 3D controls, wizard, and out with code 0.
#include "shell/shell.h"
#include "wizard/wizard.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The command line and the show mode are ignored: the program takes no
    // options, and the backdrop always opens normally.
    HMODULE ctl3d = nullptr;
    // An empty floppy drive is the installer's own question (box 9), not
    // the system's "drive not ready" box.
    SetErrorMode(SEM_FAILCRITICALERRORS);

    if (!CreateBackdropWindow(instance, &mainWindow))
        return 0;
    // On 0 the library stays loaded and announced until the process ends.
    if (!EnableCtl3d(&ctl3d))
        return 0;
    RunWizard(mainWindow);
    ReleaseCtl3d(ctl3d);
    return 0;
}
