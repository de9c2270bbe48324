// The plain logic of copying: block sizes, the progress figures, the disk
// counter, which listed file is installed, and the rules for settings files
// and the document template.  Portable: no windows.h.
#ifndef TOVARIN_INSTALL_COPYPLAN_H
#define TOVARIN_INSTALL_COPYPLAN_H

#include <stdint.h>

#include "base/pathtext.h"
#include "catalogue/catfile.h"

enum {
    kCopyCancelled = -100,
    kCopyFailed    = -1,
};

// The percentage shown: bytesCopied over grandTotal, dropping remainders,
// at most 100.  A grand total under 100 bytes counts in whole percent of
// itself; 0 bytes to copy is 100 %.
uint32_t ProgressPercent(uint32_t bytesCopied, uint32_t grandTotal);

// Where the inverted bar ends in an indicator whose right edge is right.
int ProgressBarEnd(int right, uint32_t percent);

// Which disk to ask for.  Disk 1 is in the drive at the start; the first
// file expanded from a newly confirmed disk moves the number on, so a pass
// that expands nothing asks for the same disk again.
struct DiskCounter {
    uint32_t diskNumber;
    uint32_t freshDisk;
};
DiskCounter StartDiskCounter();
void NoteFileExpanded(DiskCounter* counter);
void NoteDiskConfirmed(DiskCounter* counter);

// 0 when targetPath names a settings file (".tvs"), settings are kept and
// the file is there to keep (targetExists); a settings file that a fresh
// directory lacks is installed.
int ShouldExpandTarget(const char* targetPath, uint32_t keepSettings, int targetExists);

// What the engine does after the retry/ignore/abort question about a file
// that could not be installed (message box 10): answer 2 ignores the file,
// 3 aborts the run, any other answer tries the file again.
enum FailedFileStep {
    kRetryFile,
    kIgnoreFile,
    kAbortCopy,
};
FailedFileStep StepAfterFailedFile(int answer);

// 1 when the installed file is the document template "default.tvd", which
// goes to the Windows "ShellNew" folder instead of the destination.
int IsShellNewTemplate(const char* targetPath);

// The catalogue entry that a file listed on the disk installs: the first,
// in index order, whose sourceName equals name (as sameName decides), that
// is not yet copied and that shares a bit with mask.  -1 when none.
int32_t MatchCatalogueEntry(const CatalogueEntry* entries, uint32_t count, const char* name,
                            uint32_t mask, int (*sameName)(const char* a, const char* b));

// 1 when every entry that shares a bit with mask has been copied: the copy
// run is complete then, whatever the catalogue header's total says.
int AllSelectedCopied(const CatalogueEntry* entries, uint32_t count, uint32_t mask);

#endif
