// The setup catalogue beside the installer.
#ifndef TOVARIN_CATALOGUE_CATALOGUE_H
#define TOVARIN_CATALOGUE_CATALOGUE_H

#include <windows.h>

#include "catalogue/catfile.h"
#include "catalogue/options.h"

// Reads "setup.inf" from the installer's directory into a local-memory
// table (*entries, freed with LocalFree) and seeds options.  kCatalogueOk
// (0) on success; kCatalogueMissing (-3) when the file cannot be found or
// opened, kCatalogueInvalid (-1) when it cannot be read whole, is malformed
// or names unsafe files, kCatalogueNoMemory (-2) when the table cannot be
// allocated.  Says nothing to the user: the wizard does.
int LoadCatalogue(CatalogueEntry** entries, InstallOptions* options);

#endif
