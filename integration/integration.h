// System integration: the search for earlier installations.
#ifndef TOVARIN_INTEGRATION_INTEGRATION_H
#define TOVARIN_INTEGRATION_INTEGRATION_H

#include <windows.h>
#include <ddeml.h>
#include <stdint.h>

#include "base/text.h"
#include "integration/foundlist.h"

// Walks every fixed drive for "tovarin.exe" and makes the FoundInstallList
// (local memory, *list).  Returns its totalLength (4 when nothing was found)
// or -1 when the list could not be created.  pleaseWait shows the status.
int32_t FindInstallations(HWND pleaseWait, HLOCAL* list);

// Searches dir and everything below it for name, appending each directory
// that holds it to *list at offset onwards.  Returns the bytes appended.
uint32_t SearchDirectoryTree(const char* dir, const char* name, HLOCAL* list, uint32_t offset);

// Program Manager, reached over DDE as "PROGMAN".
HDDEDATA CALLBACK ProgmanCallback(UINT type, UINT format, HCONV conversation, HSZ topic, HSZ item,
                                  HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
UINT ReconnectProgman(DWORD* instance, HSZ* service, HCONV* conversation);

// Fills list box 10 of the program-group page with Program Manager's
// groups, preselects the default group name and puts it into groupName
// (260 bytes) and edit control 11.
void FillGroupList(HWND page, char* groupName);

// What the user chose on the program-group page.
struct GroupChoice {
    char name[kPathBytes];  // kept equal to the page's edit control
    int listed;             // 1 when Program Manager listed it before Setup
};

// Creates and shows the group and replaces the installer's items in it,
// named for the installation's Add/Remove Programs entry (ItemName).  1
// when Program Manager acknowledged the group and every item; 0 when it
// could not be reached or refused any of them, which runReport notes
// (kUndoneGroup).  After a refused CreateGroup or ShowGroup no item
// command is sent: items act on whatever group is current.
int CreateProgramGroup(const char* destDir, const GroupChoice* group, uint32_t guide, uint32_t entry);

// The file types, the New-menu template and the App Paths entry.  The
// template's "Filename" names templatePath, where the document template
// is; when it is nowhere (empty), none is written, and an earlier one that
// names a file no longer there is removed.  1 when every entry was
// written, 0 when any was not (the caller notes it).
int RegisterShellTypes(const char* destDir, const char* templatePath);

// The Add/Remove Programs entry of destDir (its whole form): the number
// of the key whose InstallLocation names it (*existed 1), else the first
// free number (*existed 0); 0 when none is free.  See registrytext.h.
uint32_t FindRemovalEntry(const char* destDir, int* existed);

// Lists Tovarin in Add/Remove Programs as entry (FindRemovalEntry) with
// the removal program in destDir.  With estimatedKB 0, before the first
// file of the catalogue is written: the whole entry (its name, the
// removal's command and its quiet form, destDir, icon, version, publisher,
// no Modify or Repair buttons); with the installation's size in KB at the
// end, that size.  1 when every value was written.
int RegisterRemoval(const char* destDir, uint32_t entry, uint32_t estimatedKB);

// Deletes the entry's key, when an entry that this run made cannot keep
// its promise of a removal.
void DeleteRemovalEntry(uint32_t entry);

#endif
