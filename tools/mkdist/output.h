// Where mkdist may write its output, and how a new output takes the place of
// an earlier one.  Host only.
//
// mkdist replaces nothing but its own earlier output.  Every directory it
// makes (the disks' directory, the one directory, the directory of floppy
// images) holds the marker file kOutputMarker, which lists what mkdist wrote
// there; a CD-ROM image it makes names mkdist in its primary volume
// descriptor's application identifier (kCdApplicationId, images.h).  A place
// that holds anything else is refused, and so is a marked directory that
// holds anything its marker does not list.  The new output is built beside
// the place, under a temporary name in the same directory, and swapped in
// whole once it is complete.
#ifndef TOVARIN_TOOLS_MKDIST_OUTPUT_H
#define TOVARIN_TOOLS_MKDIST_OUTPUT_H

#include <stddef.h>

#include <set>
#include <string>
#include <vector>

// The marker file in every output directory.
const char kOutputMarker[] = ".mkdist";

enum OutputKind {
    kOutputDirectory,   // the disks, the one directory, the floppy images
    kOutputCdImage      // one ISO 9660 file
};

// 1 when the output may go to path: nothing is there, an empty directory
// (for a CD image: an empty file), or an earlier output of mkdist of that
// kind that holds nothing but what its marker lists.  Else 0 with *why,
// the reason without the path ("holds notes.txt but no .mkdist marker, ...").
int MayReplaceOutput(OutputKind kind, const std::string& path, std::string* why);

// The marker's text for an output holding paths (sorted, no two the same,
// none empty or holding a line end), each line ending in "\n":
//
//   mkdist output          the first line, always
//   # ...                  any number of lines for the reader
//   files N                then exactly N lines, the last lines of the file,
//   disk1/                 one for each directory and file of the output but
//   disk1/setup.inf        the marker: its path from the output, "/" between
//   ...                    names, a directory's ending in "/", sorted
//
// The marker of an mkdist before the list (kListlessMarkerText, exactly)
// marks an earlier output all the same, which is then replaced whole.
std::string OutputMarkerText(const std::vector<std::string>& paths);

// Writes the marker into the output directory dir, listing everything dir
// holds.  1, or 0 with *error.
int WriteOutputMarker(const std::string& dir, std::string* error);

// The whole marker of an mkdist before the list.
const char kListlessMarkerText[] =
    "mkdist output\n"
    "This directory was written by mkdist; the next mkdist run with this output\n"
    "replaces it as a whole, with whatever it holds.\n";

enum MarkerRead {
    kMarkerNone,      // not a marker: its first line is another
    kMarkerListless,  // kListlessMarkerText
    kMarkerListed,    // the paths of the output are in *listed
    kMarkerDamaged    // a marker that does not read; *badLine says where (from 1)
};

// Reads a marker's text (size bytes at text, NULs included).
MarkerRead ReadOutputMarker(const char* text, size_t size, std::set<std::string>* listed, int* badLine);

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
