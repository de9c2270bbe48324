// The tables of end-to-end scenarios: name and function.  The lists that
// ctest runs are kScenarios and kCopyScenarios; tests/e2e/CMakeLists.txt
// reads the same ones.
#ifndef TOVARIN_E2E_SCENARIOS_H
#define TOVARIN_E2E_SCENARIOS_H

struct Scenario {
    const char* name;
    void (*run)();
};

extern const Scenario kScenarios[];       // ends with a null name
extern const Scenario kCopyScenarios[];   // the copy phase: copy_scenarios.cpp
extern const Scenario kShellScenarios[];  // group, registry, finish, 3D controls: shell_scenarios.cpp
extern const Scenario kRemoveScenarios[]; // the removal program: remove_scenarios.cpp
extern const Scenario kBenchScenarios[];  // benchmarks, not tests: bench_scenarios.cpp
extern const Scenario kExtraScenarios[];  // demonstration helpers

#include <stdint.h>

#include <string>

// Writes shell_scenarios.cpp's small distribution (a library of
// libraryBytes, the guide, the template) to A:, starts setup.exe and takes
// it to the copy into dest with every component: the copy runs when it
// returns.
void StartInstallingAt(int line, const std::string& dest, uint32_t libraryBytes);
#define StartInstalling(dest, bytes) StartInstallingAt(__LINE__, (dest), (bytes))

#endif
