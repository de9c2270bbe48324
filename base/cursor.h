// Long steps show the system's wait cursor and restore the arrow when they
// end.  Win32; includes nothing of ours.
#ifndef TOVARIN_BASE_CURSOR_H
#define TOVARIN_BASE_CURSOR_H

#include <windows.h>

// Shows the wait cursor; returns the cursor it replaced.
inline HCURSOR ShowWaitCursor()
{
    return SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514) /* IDC_WAIT */));
}

inline void ShowArrowCursor()
{
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */));
}

#endif
