// searchbench.exe (make bench-search): the installer's search for earlier
// installations, FindInstallations with the installer's own code, against a
// bare FindFirstFileA walk of the same fixed drives, in one process, each
// taken five times, alternately; the fastest of each counts.
//
//   searchbench.exe REPORT EXPECTED
//
// Writes its result lines to the file REPORT and exits 0, or 1 when the
// search did not find exactly the directory EXPECTED (the one installation
// of the generated tree).
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "bench/timing.h"
#include "integration/integration.h"
#include "shell/shell.h"
#include "shell/dialogs.h"

// The installer's module handle and its string loader, which the search's
// status text comes from; this program has no such string, and the text
// stays empty.
HINSTANCE appInstance;

int LoadResourceText(int, char* out, int capacity)
{
    if (capacity > 0)
        out[0] = '\0';
    return 0;
}

namespace {

const int kRounds = 5;

struct Walk {
    unsigned directories;
    unsigned found;
};

// The bare walk: every entry listed, every directory but "." and ".."
// entered, every other name compared with the sought one.
void BareWalk(const char* dir, Walk* walk)
{
    char pattern[MAX_PATH + 4];
    size_t length = strlen(dir);
    const char* separator = length != 0 && dir[length - 1] == '\\' ? "" : "\\";
    if (length + 5 > sizeof pattern)
        return;
    sprintf(pattern, "%s%s*.*", dir, separator);
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(pattern, &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    ++walk->directories;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0)
                continue;
            char child[MAX_PATH + 4];
            if (length + 1 + strlen(entry.cFileName) >= MAX_PATH)
                continue;
            sprintf(child, "%s%s%s", dir, separator, entry.cFileName);
            BareWalk(child, walk);
        } else if (lstrcmpiA(entry.cFileName, "tovarin.exe") == 0) {
            ++walk->found;
        }
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
}

// The bare walk over every fixed drive.
double BareWalkOfDrives(Walk* walk)
{
    LARGE_INTEGER start = Now();
    walk->directories = walk->found = 0;
    char drives[512];
    DWORD length = GetLogicalDriveStringsA(sizeof drives, drives);
    if (length == 0 || length >= sizeof drives)
        return -1;
    for (char* root = drives; *root != '\0'; root += strlen(root) + 1) {
        if (GetDriveTypeA(root) == DRIVE_FIXED)
            BareWalk(root, walk);
    }
    return Seconds(start, Now());
}

// The installer's search; *list receives its FoundInstallList.
double Search(HLOCAL* list, int32_t* length)
{
    LARGE_INTEGER start = Now();
    *length = FindInstallations(nullptr, list);
    return Seconds(start, Now());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: searchbench.exe REPORT EXPECTED\n");
        return 2;
    }
    FILE* report = fopen(argv[1], "w");
    if (report == nullptr)
        return 1;
    const char* expected = argv[2];
    double best = 1e9, bestWalk = 1e9;
    Walk walk = {0, 0};
    int right = 1;
    for (int round = 0; round < kRounds; ++round) {
        HLOCAL list = nullptr;
        int32_t length = 0;
        double search = Search(&list, &length);
        // One entry: the expected directory and its NUL after the 4-byte header.
        const char* found = "";
        const char* block = list != nullptr ? static_cast<const char*>(LocalLock(list)) : nullptr;
        if (block != nullptr && length > 4)
            found = block + 4;
        if (length != int32_t(4 + strlen(expected) + 1) || strcmp(found, expected) != 0) {
            fprintf(report, "bench-search (%s): the search found \"%s\" (list of %ld bytes), not \"%s\"\n",
                    kArchitecture, found, long(length), expected);
            right = 0;
        }
        if (block != nullptr)
            LocalUnlock(list);
        if (list != nullptr)
            LocalFree(list);
        double bare = BareWalkOfDrives(&walk);
        fprintf(report, "round %d: FindInstallations %.3f s, bare FindFirstFileA walk %.3f s\n",
                round + 1, search, bare);
        fflush(report);
        if (search < best)
            best = search;
        if (bare < bestWalk)
            bestWalk = bare;
    }
    fprintf(report,
            "bench-search (%s): %u directories on the fixed drives; FindInstallations %.3f s, bare "
            "FindFirstFileA walk %.3f s: ratio %.2f (goal <= 1.10)\n",
            kArchitecture, walk.directories, best, bestWalk, best / bestWalk);
    fclose(report);
    return right && walk.found == 1 ? 0 : 1;
}
