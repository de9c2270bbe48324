// File installation: the copy engine and the expansion with its progress page.
#ifndef TOVARIN_INSTALL_INSTALL_H
#define TOVARIN_INSTALL_INSTALL_H

#include <windows.h>
#include <stdint.h>

#include "catalogue/catfile.h"
#include "catalogue/options.h"
#include "base/paths.h"
#include "install/copyplan.h"

// Installs the chosen files from the installer's directory, disk after
// disk.  0 when every selected entry was handled, -100 when the user
// cancelled, -1 when the directory cannot be listed or the user aborted.
int InstallFiles(HWND owner, CatalogueEntry* entries, const InstallOptions* options);

// 0 for a settings file that exists while settings are kept, else 1.
int ShouldExpand(const InstallOptions* options, const char* targetPath);

// Moves the document template from the destination to the New menu's
// folder; when it cannot go there it stays in the destination.  Where it
// ends up is noted in runReport.templatePath.
int ApplyPostCopyRule(const InstallOptions* options, const char* targetPath);
// Copies the template into the New menu's folder.  1 when it is there.
int InstallShellNewTemplate(const char* sourcePath);

// Expands one file (SZDD or plain) into place with exactly size bytes,
// whole or not at all (base/filewrite.h), redrawing the progress after
// every block.  0 when expanded; -1 when no buffer could be had, the source
// cannot be opened or is damaged, the target cannot be created or replaced,
// or a write failed (message box 0 says so first).  On -1 the earlier
// target is untouched.
int ExpandFile(HWND page, char* sourcePath, char* targetPath, uint32_t size);
void UpdateProgress(HWND page, uint32_t count);
// The names of the file being expanded, shown on the page with the next
// frame of its painting.
void ShowCopyNames(HWND page, const char* sourcePath, const char* targetPath);
// Paints what waits for the next frame at once: before a box comes up and
// when the copy ends, the page shows where the copy stands.
void FlushProgress(HWND page);
// A new run: the indicator shows nothing until the first block.
void ResetProgressIndicator();
INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

#endif
