#include "tools/mkdist/output.h"

#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
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

const char kMarkerFirstLine[] = "mkdist output";
const char kMarkerCountWord[] = "files ";

// What the marker in dir says, as ReadOutputMarker; kMarkerNone also when
// there is none or it is not a regular file.
MarkerRead ReadMarkerOf(const std::string& dir, std::set<std::string>* listed, int* badLine)
{
    fs::path marker = fs::path(dir) / kOutputMarker;
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(marker, ec))) return kMarkerNone;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(marker.string(), &bytes, &error)) return kMarkerNone;
    return ReadOutputMarker(reinterpret_cast<const char*>(bytes.data()), bytes.size(), listed, badLine);
}

// Every entry under dir but its marker, by its path as the marker lists it,
// sorted.  With listed, only those it does not list, and of a directory it
// does not list, only the directory.  1, or 0 with *ec.
int ListOutputTree(const std::string& dir, const std::set<std::string>* listed, std::vector<std::string>* paths,
                   std::error_code* ec)
{
    paths->clear();
    fs::recursive_directory_iterator it(dir, *ec), end;
    for (; !*ec && it != end; it.increment(*ec)) {
        std::string path = it->path().lexically_relative(dir).generic_string();
        fs::file_status status = it->symlink_status(*ec);
        if (*ec) break;
        if (path == kOutputMarker && fs::is_regular_file(status)) continue;
        bool directory = fs::is_directory(status);
        if (directory) path += "/";
        // mkdist writes directories and regular files only: anything else
        // under a listed name is not what it wrote.
        if (listed != nullptr && (directory || fs::is_regular_file(status)) && listed->count(path) != 0) continue;
        paths->push_back(path);
        if (directory && listed != nullptr) it.disable_recursion_pending();
    }
    if (*ec) return 0;
    std::sort(paths->begin(), paths->end());
    return 1;
}

// "NAME" or "NAME and N more", of names sorted.
std::string NameAndCount(const std::vector<std::string>& names)
{
    return names[0] + (names.size() > 1 ? " and " + std::to_string(names.size() - 1) + " more" : std::string());
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
    if (names.empty()) return 1;
    std::set<std::string> listed;
    int badLine = 0;
    switch (ReadMarkerOf(path, &listed, &badLine)) {
    case kMarkerNone:
        std::sort(names.begin(), names.end());
        *why = "holds " + NameAndCount(names) + " but no " + kOutputMarker +
               " marker, so it is not an earlier output of mkdist, which replaces only its own: give a new or " +
               "empty directory";
        return 0;
    case kMarkerListless:
        return 1;
    case kMarkerDamaged:
        *why = std::string("holds a ") + kOutputMarker + " marker that cannot be read (line " +
               std::to_string(badLine) + "), so mkdist cannot tell its own files there, and it replaces only " +
               "its own: give a new or empty directory";
        return 0;
    case kMarkerListed:
        break;
    }
    if (!ListOutputTree(path, &listed, &names, &ec)) {
        *why = "cannot be read: " + ec.message();
        return 0;
    }
    if (names.empty()) return 1;
    *why = "holds " + NameAndCount(names) + " that mkdist did not write (its " + kOutputMarker +
           " marker lists its own), and mkdist replaces only its own: move " +
           (names.size() > 1 ? "them" : "it") + " out or give a new or empty directory";
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

MarkerRead ReadOutputMarker(const char* text, size_t size, std::set<std::string>* listed, int* badLine)
{
    listed->clear();
    *badLine = 0;
    if (size == strlen(kListlessMarkerText) && memcmp(text, kListlessMarkerText, size) == 0) return kMarkerListless;
    size_t at = strlen(kMarkerFirstLine);
    if (size <= at || memcmp(text, kMarkerFirstLine, at) != 0 || text[at] != '\n') return kMarkerNone;
    ++at;
    auto damaged = [&](int where) {
        listed->clear();
        *badLine = where;
        return kMarkerDamaged;
    };
    int line = 1;
    bool inList = false;
    uint32_t left = 0;   // lines of the list still to come
    while (at < size) {
        ++line;
        const char* end = static_cast<const char*>(memchr(text + at, '\n', size - at));
        if (end == nullptr) return damaged(line);
        std::string t(text + at, end);
        at = size_t(end - text) + 1;
        if (inList) {
            if (left == 0 || t.empty() || t.find('\0') != std::string::npos || !listed->insert(t).second) {
                return damaged(line);
            }
            --left;
        } else if (t.compare(0, strlen(kMarkerCountWord), kMarkerCountWord) == 0) {
            const char* digits = t.c_str() + strlen(kMarkerCountWord);
            size_t n = strspn(digits, "0123456789");
            if (n == 0 || n > 9 || n != t.size() - strlen(kMarkerCountWord)) return damaged(line);
            left = uint32_t(strtoul(digits, nullptr, 10));
            inList = true;
        } else if (t.empty() || t[0] != '#') {
            return damaged(line);
        }
    }
    if (!inList || left != 0) return damaged(line + 1);
    return kMarkerListed;
}

std::string OutputMarkerText(const std::vector<std::string>& paths)
{
    std::string text = std::string(kMarkerFirstLine) + "\n" +
                       "# Written by mkdist.  The next mkdist run with this directory as its output replaces\n"
                       "# what is listed here, and refuses while the directory holds anything else.\n" +
                       kMarkerCountWord + std::to_string(paths.size()) + "\n";
    for (const std::string& p : paths) text += p + "\n";
    return text;
}

int WriteOutputMarker(const std::string& dir, std::string* error)
{
    std::string path = (fs::path(dir) / kOutputMarker).string();
    std::vector<std::string> paths;
    std::error_code ec;
    if (!ListOutputTree(dir, nullptr, &paths, &ec)) {
        *error = dir + ": " + ec.message();
        return 0;
    }
    std::string text = OutputMarkerText(paths);
    if (!WriteFileAtomic(path, reinterpret_cast<const uint8_t*>(text.data()), text.size(), error)) {
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
