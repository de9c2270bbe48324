#include "tools/mkdist/output.h"

#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "tools/common/fileio.h"
#include "tools/mkdist/images.h"

namespace fs = std::filesystem;

namespace {

// 1 when dir holds the marker: a regular file whose first line is the
// marker text's.
int HoldsMarker(const std::string& dir)
{
    fs::path marker = fs::path(dir) / kOutputMarker;
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(marker, ec))) return 0;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(marker.string(), &bytes, &error)) return 0;
    size_t firstLine = strchr(kOutputMarkerText, '\n') - kOutputMarkerText + 1;
    return bytes.size() >= firstLine && memcmp(bytes.data(), kOutputMarkerText, firstLine) == 0;
}

int MayReplaceDirectory(const std::string& path, std::string* why)
{
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return 1;
    if (!fs::is_directory(status)) {
        *why = "exists and is not a directory";
        return 0;
    }
    std::vector<std::string> names;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    if (ec) {
        *why = "cannot be read: " + ec.message();
        return 0;
    }
    if (names.empty() || HoldsMarker(path)) return 1;
    std::sort(names.begin(), names.end());
    *why = "holds " + names[0] +
           (names.size() > 1 ? " and " + std::to_string(names.size() - 1) + " more" : std::string()) +
           " but no " + kOutputMarker + " marker, so it is not an earlier output of mkdist, which " +
           "replaces only its own: give a new or empty directory";
    return 0;
}

int MayReplaceCdImage(const std::string& path, std::string* why)
{
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return 1;
    if (fs::is_directory(status)) {
        *why = "is a directory; --cdrom writes an image file";
        return 0;
    }
    if (!fs::is_regular_file(status)) {
        *why = "exists and is not a regular file";
        return 0;
    }
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr) {
        *why = std::string("cannot be read: ") + strerror(errno);
        return 0;
    }
    std::vector<uint8_t> head(kCdImageHeadBytes);
    head.resize(fread(head.data(), 1, head.size(), f));
    fclose(f);
    if (head.empty() || IsCdImageOfMkdist(head.data(), head.size())) return 1;
    *why = std::string(LooksLikeCdImage(head.data(), head.size()) ? "is a CD-ROM image that mkdist did not make"
                                                                   : "is not a CD-ROM image") +
           ", and mkdist replaces only its own: give a new file name";
    return 0;
}

}  // namespace

int MayReplaceOutput(OutputKind kind, const std::string& path, std::string* why)
{
    return kind == kOutputCdImage ? MayReplaceCdImage(path, why) : MayReplaceDirectory(path, why);
}

int WriteOutputMarker(const std::string& dir, std::string* error)
{
    std::string path = (fs::path(dir) / kOutputMarker).string();
    if (!WriteFileAtomic(path, reinterpret_cast<const uint8_t*>(kOutputMarkerText), strlen(kOutputMarkerText),
                         error)) {
        *error = path + ": " + *error;
        return 0;
    }
    return 1;
}

std::string UnusedNameBeside(const std::string& path, const char* tag)
{
    std::string stem = path + "." + tag + std::to_string(long(getpid()));
    std::string name = stem;
    std::error_code ec;
    for (int n = 1; fs::exists(fs::symlink_status(name, ec)); ++n) {
        name = stem + "-" + std::to_string(n);
    }
    return name;
}

int PathWithin(const std::string& path, const std::string& dir)
{
    if (path == dir) return 1;
    std::string prefix = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    return path.compare(0, prefix.size(), prefix) == 0;
}

int ReplaceOutput(OutputKind kind, const std::string& built, const std::string& path, std::string* error)
{
    std::string why;
    if (!MayReplaceOutput(kind, path, &why)) {
        *error = path + ": " + why + " (it changed while mkdist ran)";
        return 0;
    }
    std::error_code ec;
    std::string old = UnusedNameBeside(path, "old");
    bool hadOld = fs::exists(fs::symlink_status(path, ec));
    ec.clear();
    if (hadOld) fs::rename(path, old, ec);
    if (!ec) fs::rename(built, path, ec);
    if (ec) {
        *error = path + ": " + ec.message();
        std::error_code back;
        if (hadOld && !fs::exists(fs::symlink_status(path, back))) fs::rename(old, path, back);
        return 0;
    }
    if (hadOld) RemoveTree(old);
    return 1;
}
