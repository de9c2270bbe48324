// The command-line tail that the start-up code hands to WinMain.
// Portable: no windows.h.
#ifndef TOVARIN_SHELL_CMDLINE_H
#define TOVARIN_SHELL_CMDLINE_H

// Skips the program name (quoted, or up to the first byte at or below a
// blank) and the blanks and control characters after it.  Returns a pointer
// into commandLine; the tail may be empty.
const char* CommandTail(const char* commandLine);

#endif
