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
extern const Scenario kFitScenarios[];    // texts that fit, in the run's language: fit_scenarios.cpp
extern const Scenario kExtraScenarios[];  // demonstration helpers

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

// Writes shell_scenarios.cpp's small distribution (a library of
// libraryBytes, the guide, the template) to A:, starts setup.exe and takes
// it to the copy into dest with every component: the copy runs when it
// returns.  dest is made beforehand, unless makeDest is false: then Setup
// asks to create it, and is answered yes.
void StartInstallingAt(int line, const std::string& dest, uint32_t libraryBytes, bool makeDest = true);
#define StartInstalling(dest, bytes) StartInstallingAt(__LINE__, (dest), (bytes))

// The target of a shortcut, or "" when it cannot be read (COM initialised).
std::string LinkTarget(const std::string& path);

// ---- Distributions that the copy scenarios build (copy_scenarios.cpp) -----------

enum Storage {
    kCompressed,   // SZDD
    kPlain,        // as it is: LZ32 reads plain files too
    kDamaged,      // SZDD whose data is cut short: it cannot give the catalogue size
    kLonger,       // SZDD of the content and 4,000 bytes more than the catalogue lists
};

struct DistFile {
    std::string source;   // name on the disk
    std::string target;   // relative to the destination
    uint32_t mask;
    std::vector<uint8_t> content;   // what the installed file must hold
    Storage storage;
    int disk;             // 1, 2, ... on a floppy set
};
typedef std::vector<DistFile> Distribution;

// A file of size bytes of text-like content, different for every call.
DistFile File(const char* source, const char* target, uint32_t mask, size_t size, Storage storage = kCompressed,
              int disk = 1);
// Writes the catalogue and the files of disk (0: every disk) into dir.  A
// source name that several entries share is written once.
void WriteDiskAt(int line, const std::string& dir, const Distribution& dist, int disk);
#define WriteDisk(dir, dist, disk) WriteDiskAt(__LINE__, (dir), (dist), (disk))
// Starts setup.exe and goes on to the components page with dest (made
// beforehand, so no question) as the destination.  An installation that the
// search finds is passed over with "other directory".
HWND NeedComponentsPageAt(int line, const std::string& dest, const char* setupPath = "A:\\setup.exe");
#define NeedComponentsPage(...) NeedComponentsPageAt(__LINE__, __VA_ARGS__)
// Starts setup.exe and goes on to the components page over the earlier
// installation in dir, answering the settings question with keep (1) or
// replace (2).  An earlier tovarin.exe that a Windows 95 replace had set
// aside when the run was killed is not found by the search: then dir is
// typed.
HWND NeedComponentsOverAt(int line, const std::string& dir, int keepAnswer);
#define NeedComponentsOver(dir, keep) NeedComponentsOverAt(__LINE__, (dir), (keep))
// A floppy set in C:\disks\disk1..N (DiskDir); A: holds disk 1 with setup.exe.
std::string DiskDir(int disk);
void WriteFloppiesAt(int line, const Distribution& dist);
#define WriteFloppies(dist) WriteFloppiesAt(__LINE__, (dist))

// ---- Installations that the removal scenarios make by hand (remove_scenarios.cpp) --

enum RemovalRecordState {
    kWholeRecord,
    kDamagedRecord,   // a line the removal cannot account for at its end
    kNoRecord,
};

// Makes an installation by hand in dest (files, the user's document and
// settings, registry entries, the template; no group) with its record as
// asked, and starts its tvremove.exe as Add/Remove Programs would; the
// driver watches the removal's dialogs from then on.
void StartRemovalAt(int line, const std::string& dest, RemovalRecordState record);
#define StartRemoval(dest, record) StartRemovalAt(__LINE__, (dest), (record))

#endif
