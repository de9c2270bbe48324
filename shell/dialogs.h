// Showing dialog templates: pages (modal), panels (modeless) and message
// boxes, where they go on the screen, and the message pump between them.
// Used by the pages and by the copy engine.
#ifndef TOVARIN_SHELL_DIALOGS_H
#define TOVARIN_SHELL_DIALOGS_H

#include <windows.h>

#include "base/cursor.h"
#include "shell/placement.h"

// Results of RunPage beyond the ids of the controls that end a page.
enum {
    kPageNotCreated = -1,   // the dialog could not be created
    kPageNoTemplate = 1,    // the template is missing: as if ended with 1
};

void PlaceDialog(HWND dialog, int mode);
int  RunPage(HWND owner, int templateId, LPARAM initParam, DLGPROC procedure);
HWND OpenPanel(HWND owner, int templateId, LPARAM initParam, DLGPROC procedure);
// Box n; text, unless it is null or empty, replaces its template's text.
int  ShowMessage(HWND owner, int n, const char* text);
// Box n with string stringId of the resources as its text (one of
// kTextBytes); the template's own text when the string cannot be loaded.
int  ShowMessageString(HWND owner, int n, int stringId);
// Reads string id of the resources into out, capacity bytes: its
// IDS_X_BYTES.  Returns its length, or 0 with out empty when the string is
// missing or does not fit: LoadStringA would cut it without a word.
int  LoadResourceText(int id, char* out, int capacity);
void DrainMessages();

INT_PTR CALLBACK MessageBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
