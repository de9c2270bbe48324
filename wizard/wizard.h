// The wizard: showing templates, placement, message boxes, the page flow
// and the page procedures.
#ifndef TOVARIN_WIZARD_WIZARD_H
#define TOVARIN_WIZARD_WIZARD_H

#include <windows.h>

#include "wizard/placement.h"

// Results of RunPage beyond the ids of the controls that end a page.
enum {
    kPageNotCreated = -1,   // the dialog could not be created
    kPageNoTemplate = 1,    // the template is missing: as if ended with 1
};

// Answers of the message boxes, compared in their low 16 bits.
enum {
    kAnswer1 = 1,
    kAnswer2 = 2,
    kAnswer3 = 3,
};

void PlaceDialog(HWND dialog, int mode);
int  RunPage(HWND owner, int templateId, LPARAM initParam, DLGPROC procedure);
HWND OpenPanel(HWND owner, int templateId, LPARAM initParam, DLGPROC procedure);
int  ShowMessage(HWND owner, int n, const char* text);
void DrainMessages();

// Page chores: a page destroys its panel just before it ends, and Cancel
// asks message box 2 first.
void EndPageWithPanel(HWND page, HWND* panel, int result);
int  ConfirmCancel(HWND page);

INT_PTR CALLBACK MessageBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Pages.
INT_PTR CALLBACK ExistingInstallationsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ComponentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CustomComponentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgramGroupPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The whole installation, from the please-wait page to the finish page.
void RunWizard(HWND owner);

#endif
