// Helpers of the tools' tests: scratch directories, files and running the
// built tools.
#ifndef TOVARIN_TOOLS_TESTS_TESTUTIL_H
#define TOVARIN_TOOLS_TESTS_TESTUTIL_H

#include <stdint.h>

#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

// A fresh, empty directory for the running test.
std::string ScratchDir();

void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);
bool Exists(const std::string& path);
// Names in a directory, sorted; empty when it does not exist.
std::vector<std::string> ListDir(const std::string& path);

struct RunResult {
    int status;          // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs a program of the build's bin directory (or an absolute command) with
// arguments through /bin/sh; arguments are quoted here.
RunResult RunTool(const std::string& program, const std::vector<std::string>& args);

// 1 when a program is on PATH.
bool HaveProgram(const std::string& name);

// Deterministic test data.
Bytes RandomBytes(size_t n, uint64_t seed);
Bytes TextBytes(size_t n, uint64_t seed);
// Runs, text, random stretches and repeats mixed, as real files mix them.
Bytes MixedBytes(size_t n, uint64_t seed);

#endif
