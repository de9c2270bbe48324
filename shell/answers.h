// What a message box answers when it ended without one of its buttons: it
// could not be created (-1 or 0 from the dialog manager) or its template is
// missing.  Such a result takes the answer that changes nothing or stops,
// so that no caller reads it as "retry" or "go on" and loops for ever.
// Portable: no windows.h.
#ifndef TOVARIN_SHELL_ANSWERS_H
#define TOVARIN_SHELL_ANSWERS_H

// Box n's result as its caller may take it: result itself when it is one
// of the box's buttons, else the box's safe answer (box 1 keep, box 2 go
// on, box 4 do not create, box 5 stay, box 9 stop, box 10 abort, the
// boxes with one button their OK).
int MessageAnswer(int n, int result);

#endif
