// Runs another program (mformat, mcopy, xorriso) for the distribution tools:
// the arguments go to it as they are, never through a shell, so that no file
// name is ever read as shell syntax.  Host only (POSIX).
#ifndef TOVARIN_TOOLS_COMMON_PROCESS_H
#define TOVARIN_TOOLS_COMMON_PROCESS_H

#include <string>
#include <vector>

// What to run: the program (looked up on PATH) and its arguments in
// args[0..], settings ("NAME=value") added to this process's environment,
// and where its standard output goes (empty: discarded).
struct Command {
    std::vector<std::string> args;
    std::vector<std::string> environment;
    std::string outputPath;
};

// Runs the command and waits for it.  Returns 1 when it exited with status
// 0, else 0 with *error naming the program, how it ended and the first line
// it wrote on standard error ("mcopy: exit status 1: Disk full").
int RunCommand(const Command& command, std::string* error);

#endif
