// The table of end-to-end scenarios: name and function.  The list that
// ctest runs is kScenarios; tests/e2e/CMakeLists.txt names the same ones.
#ifndef TOVARIN_E2E_SCENARIOS_H
#define TOVARIN_E2E_SCENARIOS_H

struct Scenario {
    const char* name;
    void (*run)();
};

extern const Scenario kScenarios[];       // ends with a null name
extern const Scenario kExtraScenarios[];  // demonstration helpers

#endif
