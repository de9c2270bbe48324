// The removal record "tvremove.log": what Setup did to the machine, one
// line an action, so that the removal takes away exactly what Setup made.
// Each line is written before its action: a record cut short by a kill
// covers everything that was done, and a line whose action never happened
// is harmless to undo.  A second installation into the same directory
// appends to the record.
//
// Text in the system's ANSI code page, lines ended by CR LF, fields separated by a tab
// (no Windows name holds a tab, a CR or a LF).  The first line is the
// signature; then:
//
//   DIR       path                   a directory Setup created
//   FILE      path  new|over         a file Setup put in place; over: it replaced an earlier one
//   TEMP      path                   a temporary file of the write path
//   GROUP     name  new|old          a Program Manager group; new: Setup created it
//   ITEM      group  name            an item Setup added to that group
//   KEY       root  path             a registry key Setup created
//   VALUE     root  path  name  data a text value Setup wrote (name "" is the unnamed one)
//   TEMPLATE  path  fingerprint      the document template, placed outside the destination;
//                                    fingerprint tells whether it is still the one placed
//   PLACED    path  fingerprint      the file of the FILE line before it is in place, with these
//                                    bytes: the removal takes it only while it still has them
//   CODEPAGE  number                 the ANSI code page of the lines after it, the system's when
//                                    Setup ran: each run writes one before its first path
//   BEGIN                            a run that stages its replacements begins: a file that
//                                    replaces an earlier one waits in its temporary file
//   COMMIT                           every staged file is whole on the disk; they now go in place
//   COMMITTED                        every staged file is in place
//
// A run begun and not committed is recovered from the record alone: a
// COMMIT without its COMMITTED rolls forward (the temporary files that are
// still there go in place), a run without a COMMIT rolls back (its
// temporary files go, the earlier files were never touched).
// In a double-byte code page (932, 936, 949, 950) a path's second bytes
// may be "\", "|" or a letter: the record is read a character at a time in
// the code page it was written in.  Lines before the first CODEPAGE line
// (an older Setup's) are in the system's code page, as that Setup wrote
// them.
// A record grows by new kinds of line, never by changing the lines it has:
// a reader of an older Setup stops at a word it does not know, so Setup
// puts the removal program of its own build in place before it writes a
// line of a new kind.
//
// Roots are HKCR, HKCU and HKLM.  A fingerprint is the file's CRC-32 and
// size, "XXXXXXXX-N" (FileFingerprint).  Paths are absolute, in drive or network
// form, with no "." or ".." component.  Portable: no windows.h.
#ifndef TOVARIN_INSTALL_RECORD_H
#define TOVARIN_INSTALL_RECORD_H

#include <stddef.h>
#include <stdint.h>

#include "base/blockcopy.h"

extern const char kRecordSignature[];   // "Tovarin removal record 1"

enum RecordKind {
    kRecordDirectory = 1,
    kRecordFile,
    kRecordTemporary,
    kRecordGroup,
    kRecordItem,
    kRecordKey,
    kRecordValue,
    kRecordTemplate,
    kRecordPlaced,
    kRecordCodePage,
    kRecordBegin,
    kRecordCommit,
    kRecordCommitted,
};

enum {
    kRecordFields    = 4,      // the most fields a line carries after its word
    kRecordLineBytes = 1024,   // the longest line, with its CR LF
};

// One line.  flag is 1 for "over" (FILE) and "new" (GROUP), else 0; the
// fields are the line's texts after its word and flag, in order: for VALUE
// root, path, name, data; unused fields are empty.
struct RecordLine {
    RecordKind kind;
    int flag;
    const char* field[kRecordFields];
};

// Formats line with its CR LF into out.  Returns the length, or 0 when a
// field holds a tab, a CR or a LF, a path or root is not valid for the
// kind, or the line does not fit capacity (at most kRecordLineBytes).
size_t FormatRecordLine(const RecordLine* line, char* out, size_t capacity);

// The record's first line, with its CR LF.
size_t FormatRecordSignature(char* out, size_t capacity);

// 1 when the size bytes of text begin with the record's first line: a file
// of the record's name without it is not a record, and is neither written
// into nor deleted.
int HasRecordSignature(const char* text, size_t size);

// Reads a record of size bytes, calling visit() for each valid line in
// order.  Stops at the first line it cannot account for (a missing
// signature, an unknown word, a wrong number of fields, a path that is not
// absolute, a line over kRecordLineBytes).  Returns the number of lines
// visited, and in *badLine the number (from 1) of the line that stopped
// it, or 0 when the whole record was read.  Text is stepped in the code
// page the helpers read (base/text.h): after a CODEPAGE line of another
// code page, a line with a byte from 0x80 up stops the reading too, since
// its names are not the ones this system's code page would reach.  A last line without its CR LF,
// as a killed Setup or a power cut leaves it, is the record's normal end:
// its action never happened (each line is written before its action).
uint32_t ReadRecord(const char* text, size_t size, void (*visit)(const RecordLine* line, void* context),
                    void* context, uint32_t* badLine);

// 1 when path is an absolute path (drive "X:\" or network "\\server\share")
// with no empty, "." or ".." component and no character that Windows does
// not allow in a name.
int IsPlainAbsolutePath(const char* path);

// The number of a CODEPAGE line's field (1 to 65535 in decimal digits),
// or 0 when it is none.
uint32_t RecordCodePage(const char* field);

// The fingerprint of size bytes (base/blockcopy.h: FormatFingerprint).
// out holds at least kFingerprintBytes.
void FileFingerprint(const uint8_t* bytes, uint32_t size, char* out);

// 1 when path lies inside dir (dir itself excluded), letter case ignored.
int IsInsideDirectory(const char* path, const char* dir);

#endif
