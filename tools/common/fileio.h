// File helpers of the distribution tools: whole-file reads, and writes that
// never leave a partial file behind (a temporary name in the same directory,
// renamed over the target only when everything was written).
#ifndef TOVARIN_TOOLS_COMMON_FILEIO_H
#define TOVARIN_TOOLS_COMMON_FILEIO_H

#include <stdint.h>

#include <string>
#include <vector>

// Reads the whole file.  Returns 1, or 0 with *error set to the cause
// ("No such file or directory", "file too large", ...).
int ReadWholeFile(const std::string& path, std::vector<uint8_t>* data, std::string* error);

// Writes bytes to path through a temporary file and a rename.  Returns 1, or
// 0 with *error set; on failure neither the temporary nor a new target exists.
int WriteFileAtomic(const std::string& path, const uint8_t* data, size_t size, std::string* error);

// A temporary name beside path, unique to this process.
std::string TemporaryNameFor(const std::string& path);

// Removes a directory tree; quiet when it does not exist.
void RemoveTree(const std::string& path);

#endif
