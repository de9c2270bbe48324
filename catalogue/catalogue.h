// The setup catalogue beside the installer.
#ifndef TOVARIN_CATALOGUE_CATALOGUE_H
#define TOVARIN_CATALOGUE_CATALOGUE_H

#include <windows.h>

#include "catalogue/catfile.h"
#include "catalogue/options.h"

// Reads "setup.inf" from the installer's directory into a local-memory
// table (*entries, freed with LocalFree) and seeds options.  0 on success,
// -1 when the file is missing, unreadable or malformed, -2 when the table
// cannot be allocated.
int LoadCatalogue(CatalogueEntry** entries, InstallOptions* options);

#endif
