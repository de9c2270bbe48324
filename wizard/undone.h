// The lines of the finish page's list of what a run left undone, in the
// order they are shown: each file passed over, then how many more when the
// list of names is full, the program group, the document template, the
// 3D-controls library, the registry, and the removal record.  Each line is a string of the
// resources and what it is formatted with.  Portable: no windows.h.
#ifndef TOVARIN_WIZARD_UNDONE_H
#define TOVARIN_WIZARD_UNDONE_H

#include <stdint.h>

#include "shell/runreport.h"

struct UndoneLine {
    int stringId;       // IDS_UNDONE_..., IDS_CTL3D_AT_RESTART
    const char* text;   // its %s, inside the report; null when it takes none
    uint32_t number;    // its %u, when it takes one
};

// The index-th line for report.  1 when there is one, else 0.
int UndoneLineAt(const RunReport* report, uint32_t index, UndoneLine* line);

#endif
