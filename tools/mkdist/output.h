// Where mkdist may write its output, and how a new output takes the place of
// an earlier one.  Host only.
//
// mkdist replaces nothing but its own earlier output.  Every directory it
// makes (the disks' directory, the one directory, the directory of floppy
// images) holds the marker file kOutputMarker; a CD-ROM image it makes
// names mkdist in its primary volume descriptor's application identifier
// (kCdApplicationId, images.h).  A place that holds anything else is
// refused.  The new output is built beside the place, under a temporary
// name in the same directory, and swapped in whole once it is complete.
#ifndef TOVARIN_TOOLS_MKDIST_OUTPUT_H
#define TOVARIN_TOOLS_MKDIST_OUTPUT_H

#include <string>

// The marker file in every output directory, and its text.
const char kOutputMarker[] = ".mkdist";
const char kOutputMarkerText[] =
    "mkdist output\n"
    "This directory was written by mkdist; the next mkdist run with this output\n"
    "replaces it as a whole, with whatever it holds.\n";

enum OutputKind {
    kOutputDirectory,   // the disks, the one directory, the floppy images
    kOutputCdImage      // one ISO 9660 file
};

// 1 when the output may go to path: nothing is there, an empty directory
// (for a CD image: an empty file), or an earlier output of mkdist of that
// kind.  Else 0 with *why, the reason without the path ("holds notes.txt
// and no .mkdist marker, ...").
int MayReplaceOutput(OutputKind kind, const std::string& path, std::string* why);

// Writes the marker into the output directory dir.  1, or 0 with *error.
int WriteOutputMarker(const std::string& dir, std::string* error);

// A name beside path that nothing has yet: path.TAGpid, or path.TAGpid-N.
std::string UnusedNameBeside(const std::string& path, const char* tag);

// 1 when path is dir or lies inside it, both absolute and normal (as
// std::filesystem::weakly_canonical gives them).
int PathWithin(const std::string& path, const std::string& dir);

// Puts the complete new output built at built (beside path, on the same
// file system) in the place of path: an earlier output is renamed aside,
// the new one renamed in, and the earlier one removed.  The place is checked
// again first, for what came there while the output was built.  1, or 0 with
// *error and path as it was (built is left to the caller).
int ReplaceOutput(OutputKind kind, const std::string& built, const std::string& path, std::string* error);

#endif
