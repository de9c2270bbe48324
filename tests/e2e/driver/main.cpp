// driver.exe NAME [SHOT_DIR]: runs one scenario; exit code 0 when it passes.
// driver.exe --list: prints the names of the scenarios that ctest runs.
// driver.exe --probe: exits with the language and DPI it sees (fit.h).
// Screenshots go to SHOT_DIR, else to %E2E_SHOTS%, else nowhere.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/fit.h"
#include "tests/e2e/driver/scenarios.h"

namespace {

const Scenario* FindScenario(const char* name)
{
    for (const Scenario* table : {kScenarios, kCopyScenarios, kShellScenarios, kRemoveScenarios, kFitScenarios,
                                   kExtraScenarios, kBenchScenarios})
        for (const Scenario* s = table; s->name; s++)
            if (strcmp(s->name, name) == 0)
                return s;
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) {
        fprintf(stderr, "usage: driver.exe --list | NAME [SHOT_DIR]\n");
        return 2;
    }
    if (strcmp(argv[1], "--probe") == 0)
        return ProbeMain();
    if (strcmp(argv[1], "--list") == 0) {
        for (const Scenario* table : {kScenarios, kCopyScenarios, kShellScenarios, kRemoveScenarios, kFitScenarios})
            for (const Scenario* s = table; s->name; s++)
                printf("%s\n", s->name);
        return 0;
    }
    const Scenario* scenario = FindScenario(argv[1]);
    if (!scenario) {
        fprintf(stderr, "driver.exe: no scenario %s\n", argv[1]);
        return 2;
    }
    const char* shots = argc > 2 ? argv[2] : getenv("E2E_SHOTS");
    BeginScenario(scenario->name, shots);
    scenario->run();
    return EndScenario() ? 1 : 0;
}
