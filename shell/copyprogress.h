// The progress of the copy, shared by the copy engine, which starts it and
// counts the files, the expansion, which counts the bytes and draws the
// indicator, and the billboards, which move on as the bytes pass their
// shares.  Set when copying starts; the only part that a dispatched message
// changes while files are copied is copyRunning, which a confirmed Cancel
// clears.
#ifndef TOVARIN_SHELL_COPYPROGRESS_H
#define TOVARIN_SHELL_COPYPROGRESS_H

#include <windows.h>
#include <stdint.h>

extern uint32_t copyRunning;       // cleared by a confirmed cancel
extern uint32_t bytesCopied;       // bytes written by all expansions of the run
extern uint32_t grandTotal;        // the 100 % mark: requiredBytes at the start
extern RECT     indicatorRect;     // client rectangle of the progress indicator

// Starts the progress of a run: running, nothing copied, total as the 100 %
// mark, the indicator's client rectangle (empty without an indicator).
void StartCopyProgress(uint32_t total, HWND indicator);

#endif
