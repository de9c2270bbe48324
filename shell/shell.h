// The application shell: start-up, the backdrop window and its two control
// classes, the billboards and the 3D-controls library.
#ifndef TOVARIN_SHELL_SHELL_H
#define TOVARIN_SHELL_SHELL_H

#include <windows.h>
#include <stdint.h>

extern HINSTANCE appInstance;     // this module; set when the backdrop class exists
extern HWND      mainWindow;      // the backdrop; owner of every page and panel
extern HPALETTE  backdropPalette; // from bitmap 1; null when it cannot be read

// Backdrop window.
int CreateBackdropWindow(HINSTANCE instance, HWND* window);
LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintBackdrop(HWND window);
void DrawBackdropImage(HWND window, HDC dc, int bitmapId);
void DrawLogo(HDC dc, int x, int y);
// A bitmap for dc from picture id in the run's language: a packed DIB of
// 1, 4 or 8 bits per pixel with its full colour table, or of 24 bits when
// trueColour is non-zero.  Null when there is none or its pixels would
// reach past the resource.
HBITMAP MakePicture(HDC dc, int id, int trueColour);
HBITMAP CreateKeyMask(HBITMAP colour, COLORREF key);

// Billboards on the backdrop while files are copied.  StartBillboards
// prepares the thresholds from grandTotal and shows the first billboard on
// the left.
void StartBillboards();
void PrepareBillboards();
void AdvanceBillboard(int showCurrent);
void HideBillboard();
void PaintBillboard(HDC dc);

// The 3D-controls library, on Windows NT.
int EnableCtl3d(HMODULE* library);
int ReleaseCtl3d(HMODULE library);
// Fills systemPath (1,024 bytes) with the system copy's path and puts the
// installer's library there, whole, when it is newer.  1 when the system's
// copy is up to date; 0 when it is not, which runReport notes: replaced at
// the next start (kCtl3dAtRestart) or not at all (kUndoneCtl3d).
int UpdateCtl3dCopy(char* systemPath);
// The file version of a file's version resource (shell/versiontext.h);
// 0 when it has none.  0 when the file has no version resource, else 1.
int FileVersionNumber(const char* path, uint64_t* number);

// Copies a file as it is, whole or not at all (base/filewrite.h).  1 when
// it is in place; 0 when it is not, the target then untouched.  A read or
// write error is also said in message box 0.
int CopyPlainFile(HWND owner, const char* targetPath, const char* sourcePath);

// The run-time library's end of the process: ends it with code.
extern "C" __attribute__((noreturn)) void ExitRuntime(int code);

#endif
