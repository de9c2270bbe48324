// What the recovery of an interrupted run does, decided from the record
// alone: the removal program runs it at the next start of Windows (its
// RunOnce value) and Setup's next start asks for it.  A run that began
// with BEGIN and never reached COMMITTED is either rolled forward (its
// COMMIT line is there: every staged file was whole on the disk before
// the first one went in place) or back (no COMMIT: no earlier file was
// touched, the staged files go).  Files new to the destination are
// placed as they are copied, in either case; one that is not whole (no
// fingerprint, or another size than its fingerprint's, as a power cut
// leaves a file whose data never reached the disk) goes.  Portable: no
// windows.h.
#ifndef TOVARIN_REMOVE_RECOVERY_H
#define TOVARIN_REMOVE_RECOVERY_H

#include <stdint.h>

#include "remove/plan.h"

enum RecoveryKind {
    kRecoverReplace = 1,   // temp, when it is still there, takes target's place
    kRecoverDeleteTemp,    // temp goes, whatever it holds
    kRecoverCheckNew,      // target goes unless it has size bytes (hasSize 0: it goes)
};

struct RecoveryStep {
    RecoveryKind kind;
    const char* target;
    const char* temp;
    uint32_t size;
    int hasSize;
};

// The steps for every unfinished run of the plan, in the record's order,
// into steps (capacity of them).  Returns the number of steps, which may
// exceed capacity: then only the first capacity were written.  A run whose
// record is damaged before its end is recovered as far as it reads.
uint32_t PlanRecovery(const RemovalPlan* plan, RecoveryStep* steps, uint32_t capacity);

// 1 when some run of the plan began and never reached COMMITTED.
int NeedsRecovery(const RemovalPlan* plan);

#endif
