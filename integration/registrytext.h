// The registry's data for the document and settings file types, the
// New-menu template and the App Paths key; the Add/Remove Programs entries
// and the program group's item names that go with them, as Setup and the
// removal both find them.  Portable: no windows.h.  Every
// text is composed into a buffer of the given capacity; a text that does
// not fit is refused (length 0, empty buffer), never cut, since a cut path
// names another file.
#ifndef TOVARIN_INTEGRATION_REGISTRYTEXT_H
#define TOVARIN_INTEGRATION_REGISTRYTEXT_H

#include <stddef.h>
#include <stdint.h>

// Registry data, formed from destDir as it is stored (not lower-cased).
//
// The open command quotes the program's path as well as the document:
// unquoted, Windows NT would take "C:\Program Files\Tovarin\tovarin.exe" as
// the program "C:\Program" and run C:\Program.exe when there is one.  A
// destDir holding a double quote, which no directory name holds, is refused.
size_t OpenCommandText(const char* destDir, char* out, size_t capacity);  // "dir\tovarin.exe" "%1"
size_t IconText(const char* destDir, int index, char* out, size_t capacity);  // dir\tovarin.exe ,N
size_t AppPathText(const char* destDir, char* out, size_t capacity);      // dir\tovarin.exe

// The recovery of a run cut short: a value of HKLM's RunOnce key, one a
// destination, that starts the destination's removal program at the next
// start of Windows.  The name "Tovarin recovery dir" (at most 255
// characters, as the registry allows) and the command "dir\tvremove.exe"
// /recover; 0 when either does not fit.
extern const char kRunOncePath[];
size_t RecoveryValueName(const char* destDir, char* out, size_t capacity);
size_t RecoveryCommand(const char* destDir, char* out, size_t capacity);

// Add/Remove Programs: one entry per destination, each a key under
// HKLM\kUninstallPath numbered from 1 to kMostEntries: "Tovarin", "Tovarin 2",
// "Tovarin 3"...  A destination's entry is the one whose InstallLocation is
// that destination (in its whole form, letter case ignored); a destination
// without one takes the first number no key has.  Setup and the removal
// look at those keys alone, by number.
extern const char kUninstallPath[];   // "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
enum {
    kMostEntries = 32,
};

// The key name of entry number (from 1).
size_t EntryKeyName(uint32_t number, char* out, size_t capacity);

// What Add/Remove Programs lists: "Tovarin" for entry 1, as it always
// was; "Tovarin (destDir)" for the others, so that two installations can
// be told apart.
size_t EntryDisplayName(uint32_t number, const char* destDir, char* out, size_t capacity);

// A program group item's name for the installation of that entry: the name
// itself for entry 1 and for none (0); "name (destDir)" for the others.
// Program Manager keeps one item of a name in a group, and Setup replaces
// its items by name: a second installation's would take the first's.
// quoted 1: as it goes into a command, where a name that carries the
// destination is quoted, as its parentheses, commas or brackets would end
// the argument or the command (no destination holds a double quote).
size_t ItemName(const char* name, uint32_t entry, const char* destDir, int quoted, char* out,
                size_t capacity);

// The search for a destination's entry over the numbers 1 to kMostEntries,
// in any order.
struct EntrySearch {
    uint32_t found;   // the lowest number whose InstallLocation is the destination; 0: none
    uint32_t taken;   // bit N-1 set: the key of number N exists
};
void StartEntrySearch(EntrySearch* search);
// The key of number exists, with its InstallLocation in whole form ("" when
// it has none).
void ConsiderEntry(EntrySearch* search, uint32_t number, const char* location, const char* destDir);
// The destination's entry: the one found, else the first free number; 0
// when every one is taken.
uint32_t ChosenEntry(const EntrySearch* search);

#endif
