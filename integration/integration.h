// System integration: the search for earlier installations.
#ifndef TOVARIN_INTEGRATION_INTEGRATION_H
#define TOVARIN_INTEGRATION_INTEGRATION_H

#include <windows.h>
#include <stdint.h>

#include "integration/foundlist.h"

// Walks every fixed drive for "tovarin.exe" and makes the FoundInstallList
// (local memory, *list).  Returns its totalLength (4 when nothing was found)
// or -1 when the list could not be created.  pleaseWait shows the status.
int32_t FindInstallations(HWND pleaseWait, HLOCAL* list);

// Searches dir and everything below it for name, appending each directory
// that holds it to *list at offset onwards.  Returns the bytes appended.
uint32_t SearchDirectoryTree(const char* dir, const char* name, HLOCAL* list, uint32_t offset);

#endif
