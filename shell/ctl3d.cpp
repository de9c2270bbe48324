// The 3D-controls library.  Until it is provisioned, the installation runs
// without the 3D look: nothing is loaded, and the wizard always goes on.
#include "shell/shell.h"

int EnableCtl3d(HMODULE* library)
{
    *library = nullptr;
    return 1;
}

int ReleaseCtl3d(HMODULE)
{
    return 1;
}
