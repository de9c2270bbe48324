// Fitting a message box to the text it was given at run time, for the
// boxes of setup.exe and of tvremove.exe alike.  Win32; includes nothing
// of ours.
#ifndef TOVARIN_SHELL_BOXFIT_H
#define TOVARIN_SHELL_BOXFIT_H

#include <windows.h>

// A box whose text is set at run time (a disk number, a path, the names
// left) has a template sized for the longest text it may show.  A shorter
// text would leave a gap above the buttons: the text control textId, the
// buttons 1 to 3 and the box move up by the lines it does not need.
void FitBoxToText(HWND dialog, int textId);

#endif
