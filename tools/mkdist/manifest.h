// The distribution manifest read by mkdist: a text file, one statement a
// line, fields separated by blanks or tabs, a field with blanks written in
// double quotes, "#" starting a comment line:
//
//   setup  PATH                                 the installer, for disk 1
//   ctl3d  PATH                                 ctl3d32.dll, for disk 1 (optional)
//   file   SOURCE  TARGET  COMPONENT  MODE      one distribution file
//
// SOURCE and PATH are host paths, relative ones taken from the manifest's
// directory.  TARGET is the installed path under the destination directory,
// with backslashes (slashes are turned into backslashes).  COMPONENT is one
// of the eighteen component bits, 0x1 to 0x20000 (hex with 0x, or decimal).
// MODE is "compress" (stored as it is when compression does not make it
// smaller) or "plain".  Portable: no windows.h.
#ifndef TOVARIN_TOOLS_MKDIST_MANIFEST_H
#define TOVARIN_TOOLS_MKDIST_MANIFEST_H

#include <stdint.h>

#include <string>
#include <vector>

struct ManifestFile {
    int line;
    std::string source;      // host path as written
    std::string target;      // backslashes
    uint32_t component;
    bool compress;
};

struct Manifest {
    std::string setupPath;   // empty when not given
    int setupLine;
    std::string ctl3dPath;   // empty when not given
    int ctl3dLine;
    std::vector<ManifestFile> files;
};

struct ManifestError {
    int line;
    std::string reason;
};

// Parses manifest text.  Every line's problems go into *errors (all of them,
// not only the first): unknown statements, wrong field counts, unterminated
// quotes, bad target paths, duplicate targets (letter case ignored), a
// component that is not one of the eighteen bits, an unknown mode, a second
// setup or ctl3d line.  Returns 1 when *errors is empty.
int ParseManifest(const std::string& text, Manifest* manifest, std::vector<ManifestError>* errors);

// Splits one line into fields.  Returns 0 on an unterminated quote.
int SplitFields(const std::string& line, std::vector<std::string>* fields);

#endif
