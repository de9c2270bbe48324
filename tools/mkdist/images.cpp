#include "tools/mkdist/images.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <filesystem>
#include <system_error>

#include "tools/common/fileio.h"
#include "tools/common/process.h"

namespace fs = std::filesystem;

namespace {

// The fixed time, in seconds since 1970, and the settings that make mtools
// and xorriso stamp it.
long long ImageTime()
{
    const char* given = getenv("SOURCE_DATE_EPOCH");
    if (given != nullptr && *given >= '0' && *given <= '9') {
        char* end = nullptr;
        long long v = strtoll(given, &end, 10);
        if (*end == '\0') return v;
    }
    return kImageEpoch;
}

std::vector<std::string> FixedTimeEnvironment()
{
    return {"SOURCE_DATE_EPOCH=" + std::to_string(ImageTime()), "TZ=UTC", "MTOOLS_NO_VFAT=1",
            "MTOOLSRC=/dev/null"};
}

std::string Upper(std::string s)
{
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return s;
}

int Format(const FloppyFormat& format, const std::string& label, unsigned serial, const std::string& imagePath,
           std::string* error)
{
    char serialText[16];
    snprintf(serialText, sizeof serialText, "%08X", serial);
    Command c;
    c.args = {"mformat", "-C"};
    for (const char* const* a = format.mformatArgs; *a != nullptr; ++a) c.args.push_back(*a);
    c.args.insert(c.args.end(), {"-v", label, "-N", serialText, "-i", imagePath, "::"});
    c.environment = FixedTimeEnvironment();
    return RunCommand(c, error);
}

}  // namespace

int ProbeFloppyFormat(const FloppyFormat& format, const std::string& scratchPath, DiskGeometry* disk,
                      std::string* error)
{
    std::error_code ec;
    fs::remove(scratchPath, ec);
    int ok = Format(format, "TOVARIN", kImageSerialBase, scratchPath, error);
    std::vector<uint8_t> image;
    if (ok) ok = ReadWholeFile(scratchPath, &image, error);
    fs::remove(scratchPath, ec);
    if (!ok) return 0;
    FatBootSector boot;
    if (!ReadFatBootSector(image.data(), image.size(), &boot)) {
        *error = std::string("mformat wrote no FAT12 boot sector for format ") + format.name;
        return 0;
    }
    if (uint64_t(boot.totalSectors) * boot.bytesPerSector != image.size()) {
        *error = std::string("mformat's image for format ") + format.name + " has " + std::to_string(image.size()) +
                 " bytes, its boot sector says " + std::to_string(uint64_t(boot.totalSectors) * boot.bytesPerSector);
        return 0;
    }
    *disk = FatDiskGeometry(boot);
    return 1;
}

int WriteFloppyImage(const FloppyFormat& format, int disk, const std::vector<ImageFile>& files,
                     const std::string& imagePath, std::string* error)
{
    if (!Format(format, "TOVARIN " + std::to_string(disk), kImageSerialBase + unsigned(disk), imagePath, error)) {
        return 0;
    }
    for (const ImageFile& f : files) {
        Command c;
        c.args = {"mcopy", "-i", imagePath, f.sourcePath, "::" + Upper(f.name)};
        c.environment = FixedTimeEnvironment();
        if (!RunCommand(c, error)) {
            *error = imagePath + ": " + f.name + ": " + *error;
            return 0;
        }
    }
    return 1;
}

int WriteCdImage(const std::string& dir, const std::string& isoPath, std::string* error)
{
    // xorriso records each file's own time: they all get the fixed one.
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = time_t(ImageTime());
    times[0].tv_nsec = times[1].tv_nsec = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        utimensat(AT_FDCWD, it->path().c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    utimensat(AT_FDCWD, dir.c_str(), times, 0);
    if (ec) {
        *error = dir + ": " + ec.message();
        return 0;
    }
    Command c;
    c.args = {"xorriso", "-as", "mkisofs", "-quiet", "-J", "-V", "TOVARIN", "-A", kCdApplicationId,
              "-o", isoPath, dir};
    c.environment = FixedTimeEnvironment();
    return RunCommand(c, error);
}

int ReadFileFromFloppyImage(const std::string& imagePath, const std::string& name, const std::string& outPath,
                            std::string* error)
{
    Command c;
    c.args = {"mcopy", "-n", "-i", imagePath, "::" + name, outPath};
    c.environment = FixedTimeEnvironment();
    return RunCommand(c, error);
}

int ReadFileFromCdImage(const std::string& isoPath, const std::string& name, const std::string& outPath,
                        std::string* error)
{
    Command c;
    c.args = {"xorriso", "-osirrox", "on", "-indev", isoPath, "-extract", name, outPath};
    c.environment = FixedTimeEnvironment();
    if (!RunCommand(c, error)) return 0;
    std::error_code ec;
    if (!fs::is_regular_file(outPath, ec)) {
        *error = isoPath + ": holds no " + name;
        return 0;
    }
    return 1;
}

int LooksLikeCdImage(const uint8_t* bytes, size_t size)
{
    return size >= 32768 + 2048 && bytes[32768] == 1 && memcmp(bytes + 32769, "CD001", 5) == 0;
}

int IsCdImageOfMkdist(const uint8_t* bytes, size_t size)
{
    // The application identifier: 128 characters at 574 in the primary
    // volume descriptor, padded with blanks.
    const size_t at = 32768 + 574, room = 128;
    size_t n = strlen(kCdApplicationId);
    if (!LooksLikeCdImage(bytes, size) || size < at + room || memcmp(bytes + at, kCdApplicationId, n) != 0) {
        return 0;
    }
    for (size_t i = n; i < room; ++i) {
        if (bytes[at + i] != ' ') return 0;
    }
    return 1;
}
