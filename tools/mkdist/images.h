// The disk images that mkdist writes: FAT12 floppy images made with mtools
// (mformat, mcopy) and a CD-ROM image made with xorriso.  Host only: they
// run those programs through RunCommand.
//
// Images are reproducible: every file and directory entry carries the time
// SOURCE_DATE_EPOCH names (when it is set, else kImageEpoch) read as UTC,
// and disk N's volume serial number is kImageSerialBase + N.
#ifndef TOVARIN_TOOLS_MKDIST_IMAGES_H
#define TOVARIN_TOOLS_MKDIST_IMAGES_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "tools/mkdist/floppy.h"
#include "tools/mkdist/layout.h"

// 1996-01-01 00:00:00 UTC.
const long long kImageEpoch = 820454400;
const unsigned kImageSerialBase = 0x19960000;

// The room on a disk of the format, read from the boot sector of a blank
// image that mformat writes at scratchPath (removed again).  1, or 0 with
// *error.
int ProbeFloppyFormat(const FloppyFormat& format, const std::string& scratchPath, DiskGeometry* disk,
                      std::string* error);

// A file to copy onto an image: its 8.3 name there and the file that holds
// its bytes.
struct ImageFile {
    std::string name;
    std::string sourcePath;
};

// Writes disk number disk (from 1) as a new image at imagePath: formatted
// with the label "TOVARIN <disk>", the files copied into its root in the
// given order under their names in upper case.  1, or 0 with *error.
int WriteFloppyImage(const FloppyFormat& format, int disk, const std::vector<ImageFile>& files,
                     const std::string& imagePath, std::string* error);

// The application identifier of every CD-ROM image mkdist writes, which
// tells its own images from others.
const char kCdApplicationId[] = "TOVARIN SETUP MEDIA MADE BY MKDIST";

// Writes an ISO 9660 image with Joliet names of the files in directory dir
// (whose times it sets to the fixed time first), volume id "TOVARIN",
// application identifier kCdApplicationId, at isoPath.  1, or 0 with
// *error.
int WriteCdImage(const std::string& dir, const std::string& isoPath, std::string* error);

// Copies one file out of a floppy image (mcopy) to outPath.  1, or 0 with
// *error.
int ReadFileFromFloppyImage(const std::string& imagePath, const std::string& name, const std::string& outPath,
                            std::string* error);

// Copies one file out of an ISO 9660 image (xorriso) to outPath; name is
// its path in the image, from "/".  1, or 0 with *error.
int ReadFileFromCdImage(const std::string& isoPath, const std::string& name, const std::string& outPath,
                        std::string* error);

// 1 when the bytes start like an ISO 9660 image (a primary volume
// descriptor at 32,768).
int LooksLikeCdImage(const uint8_t* bytes, size_t size);

// How much of the start of an image the primary volume descriptor takes.
const size_t kCdImageHeadBytes = 32768 + 2048;

// 1 when the bytes start like an ISO 9660 image whose application
// identifier is kCdApplicationId.
int IsCdImageOfMkdist(const uint8_t* bytes, size_t size);

#endif
