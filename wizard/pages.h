// What every page of the main path shares: its state while it is open, the
// start of its WM_INITDIALOG, its panel, and Cancel.
#ifndef TOVARIN_WIZARD_PAGES_H
#define TOVARIN_WIZARD_PAGES_H

#include <windows.h>

#include "catalogue/options.h"

// One of each page is open at a time; this is what it keeps while open.
struct PageState {
    void* record;   // what the flow handed over in lParam: the options record,
                    // or the group page's 260-byte group-name buffer
    HWND panel;     // the page's panel, destroyed just before the page ends
};

// The start of a page's WM_INITDIALOG: the page centred on the screen, the
// record taken from lParam.
void BeginPage(HWND page, PageState* state, LPARAM lParam);

// The end of it: the page's panel at the bottom of the backdrop, which owns
// every panel.
void OpenPagePanel(PageState* state, int panelId);

// Ends the page with result, its panel destroyed first.
void EndPage(HWND page, PageState* state, int result);

// Cancel, Esc or the close box: asks message box 2 first and ends the page
// with IDCANCEL only when the user confirms.
void CancelPage(HWND page, PageState* state);

inline InstallOptions* PageOptions(const PageState* state)
{
    return static_cast<InstallOptions*>(state->record);
}

#endif
