// The wizard: the page flow and the page procedures.
#ifndef TOVARIN_WIZARD_WIZARD_H
#define TOVARIN_WIZARD_WIZARD_H

#include <windows.h>

#include "shell/dialogs.h"

// Pages.
INT_PTR CALLBACK ExistingInstallationsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ComponentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CustomComponentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgramGroupPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The last page; its init parameter is the placement mode.
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The whole installation, from the please-wait page to the finish page.
void RunWizard(HWND owner);

#endif
