#include "tools/common/fileio.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

int ReadWholeFile(const std::string& path, std::vector<uint8_t>* data, std::string* error)
{
    data->clear();
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr) {
        *error = strerror(errno);
        return 0;
    }
    uint8_t chunk[65536];
    for (;;) {
        size_t n = fread(chunk, 1, sizeof chunk, f);
        data->insert(data->end(), chunk, chunk + n);
        if (n < sizeof chunk) break;
    }
    int failed = ferror(f);
    int savedErrno = errno;
    fclose(f);
    if (failed) {
        *error = strerror(savedErrno);
        data->clear();
        return 0;
    }
    return 1;
}

std::string TemporaryNameFor(const std::string& path)
{
    return path + ".tmp" + std::to_string(long(getpid()));
}

int WriteFileAtomic(const std::string& path, const uint8_t* data, size_t size, std::string* error)
{
    std::string tmp = TemporaryNameFor(path);
    FILE* f = fopen(tmp.c_str(), "wb");
    if (f == nullptr) {
        *error = strerror(errno);
        return 0;
    }
    size_t written = size == 0 ? 0 : fwrite(data, 1, size, f);
    int savedErrno = errno;
    int closed = fclose(f);
    if (written != size || closed != 0) {
        *error = strerror(written != size ? savedErrno : errno);
        remove(tmp.c_str());
        return 0;
    }
    if (rename(tmp.c_str(), path.c_str()) != 0) {
        *error = strerror(errno);
        remove(tmp.c_str());
        return 0;
    }
    return 1;
}

void RemoveTree(const std::string& path)
{
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}
