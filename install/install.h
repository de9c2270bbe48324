// File installation: directories and disks.
#ifndef TOVARIN_INSTALL_INSTALL_H
#define TOVARIN_INSTALL_INSTALL_H

#include <windows.h>
#include <stdint.h>

#include "catalogue/catfile.h"
#include "catalogue/options.h"
#include "install/copyplan.h"
#include "install/pathtext.h"

// Shared with the expansion and the billboards while files are copied.
extern uint32_t copyRunning;       // cleared by a confirmed cancel
extern uint32_t bytesCopied;       // bytes written by all expansions of the run
extern uint32_t grandTotal;        // the 100 % mark: requiredBytes at the start
extern RECT     indicatorRect;     // client rectangle of the progress indicator

// 1 when dir can be listed (an empty directory included), else 0.
int DirectoryExists(const char* dir);

// Creates every missing directory of a drive or network path.  1 when all
// of them exist afterwards, 0 at the first that cannot be made.
int CreateDirectoryPath(const char* path);

// The directory the installer was started from, without a trailing
// backslash.  0 when the module name is unusable.
int InstallerDirectory(char* dir, size_t capacity);

// Creates a file anew for writing, clearing a read-only attribute left by
// an earlier installation.  INVALID_HANDLE_VALUE when it cannot be made.
HANDLE CreateTargetFile(const char* path);

// Free space of the volume of path, in KB rounded to nearest; 0 when the
// system cannot tell.
uint32_t FreeSpaceKB(const char* path);

// Installs the chosen files from the installer's directory, disk after
// disk.  0 when every selected entry was handled, -100 when the user
// cancelled, -1 when the directory cannot be listed or the user aborted.
int InstallFiles(HWND owner, CatalogueEntry* entries, const InstallOptions* options);

// 0 for a settings file that exists while settings are kept, else 1.
int ShouldExpand(const InstallOptions* options, const char* targetPath);

// Moves the document template from the destination to "ShellNew".
int ApplyPostCopyRule(const InstallOptions* options, const char* targetPath);
int InstallShellNewTemplate(const char* sourcePath);

// Copies a file as it is, in blocks.  1 when copied, or when the source or
// target cannot be opened; 0 without a buffer or after a read or write error.
int CopyPlainFile(HWND owner, const char* targetPath, const char* sourcePath);

// Expands one file (SZDD or plain) into place with exactly size bytes,
// redrawing the progress after every block.  0 when expanded; -1 when no
// buffer could be had, the source cannot be opened or is damaged, the
// target cannot be created, or a write failed.
int ExpandFile(HWND page, char* sourcePath, char* targetPath, uint32_t size);
void UpdateProgress(HWND page, uint32_t count);
// A new run: the indicator shows nothing until the first block.
void ResetProgressIndicator();
INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

#endif
