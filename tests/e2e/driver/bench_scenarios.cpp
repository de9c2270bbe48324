// The benchmarks.
//
// make bench-install: the installer's copy of the sample distribution in
// A:\ against a bare LZ32 loop that expands the same files in 100,000-byte
// blocks, in the same prefix, in one run.  The installer's time runs from
// Next on the components page to the copy-progress page closing; the
// loop's from its first open to its last close.  Each is taken several
// times, alternately, and the fastest counts.  The installer's peak working
// set is set against that of C:\baseline.exe, the smallest window program,
// taken the same way in the same prefix.
//
// make bench-search: C:\searchbench.exe times the installer's search for
// earlier installations against a bare walk over the tree that run-scenario
// generated on D:; this scenario runs it and passes its report on.
#include <windows.h>
#include <lzexpand.h>
#include <psapi.h>
#include <shellapi.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "bench/timing.h"
#include "catalogue/catfile.h"
#include "resources/resource.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/scenarios.h"

namespace {

double Megabytes(SIZE_T bytes)
{
    return static_cast<double>(bytes) / 1048576.0;
}

const int kRounds = 5;
const DWORD kBlockBytes = 100000;

void RemoveTree(const std::string& dir)
{
    std::string from = dir;
    from.push_back('\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

// The catalogue of A:\, as the installer reads it.
std::vector<CatalogueEntry> ReadCatalogueOfA()
{
    std::vector<CatalogueEntry> entries;
    Bytes bytes;
    if (!ReadBytes("A:\\setup.inf", &bytes) || bytes.size() < kCatalogueHeaderBytes)
        fail("no A:\\setup.inf");
    CatalogueHeader header;
    if (!DecodeCatalogueHeader(bytes.data(), &header) ||
        CatalogueFileBytes(header.entryCount) > bytes.size())
        fail("A:\\setup.inf is not a catalogue");
    entries.resize(header.entryCount);
    for (uint32_t i = 0; i < header.entryCount; ++i)
        DecodeCatalogueEntry(bytes.data() + CatalogueFileBytes(i), &entries[i]);
    return entries;
}

// The bare loop: every catalogue file expanded into dest in blocks.
double BareLoop(const std::vector<CatalogueEntry>& entries, const std::string& dest)
{
    std::vector<char> buffer(kBlockBytes);
    LARGE_INTEGER start = Now();
    for (const CatalogueEntry& e : entries) {
        std::string source = std::string("A:\\") + e.sourceName;
        std::string target = dest + "\\" + e.targetPath;
        MakeDirs(target.substr(0, target.rfind('\\')));
        OFSTRUCT of;
        INT lz = LZOpenFileA(const_cast<char*>(source.c_str()), &of, OF_READ);
        if (lz < 0)
            fail("LZOpenFile %s: %d", source.c_str(), lz);
        HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        for (uint32_t done = 0; done < e.size;) {
            DWORD block = e.size - done < kBlockBytes ? e.size - done : kBlockBytes;
            LZRead(lz, buffer.data(), (INT)block);
            DWORD put;
            WriteFile(out, buffer.data(), block, &put, nullptr);
            done += block;
        }
        CloseHandle(out);
        LZClose(lz);
    }
    return Seconds(start, Now());
}

SIZE_T PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, SetupProcessId());
    if (process != nullptr) {
        GetProcessMemoryInfo(process, &counters, sizeof counters);
        CloseHandle(process);
    }
    return counters.PeakWorkingSetSize;
}

// One installation up to the program-group page; returns the copy's time
// and the installer's peak working set before and after the copy.
double InstallerCopy(const std::string& dest, SIZE_T* beforeBytes, SIZE_T* peakBytes)
{
    MakeDirs(dest);
    StartSetup("");
    HWND page = NeedDialog(IDD_DESTINATION);
    SetText(page, IDC_DEST_EDIT, dest.c_str());
    Click(page, IDC_DEST_NEXT);
    HWND components = NeedDialog(IDD_COMPONENTS);
    *beforeBytes = PeakWorkingSet();
    Click(components, IDC_COMPONENTS_NEXT);
    LARGE_INTEGER start = Now();
    // The copy of 22 MB takes well under a second.  Finding a dialog by its
    // template costs the driver a walk over every window, which would take
    // the processor from the installer and Wine's server while they copy:
    // the page is found once, then only asked whether it is still there.
    HWND progress = nullptr;
    while (!(progress = FindDialog(IDD_PROGRESS)) && !FindDialog(IDD_GROUP))
        Sleep(1);
    while (progress != nullptr && IsWindow(progress) && IsWindowVisible(progress))
        Sleep(1);
    LARGE_INTEGER end = Now();

    *peakBytes = PeakWorkingSet();

    HWND group = NeedDialog(IDD_GROUP);
    Click(group, IDCANCEL);
    Answer(MSG_CONFIRM_CANCEL, 1, group);
    NeedExit();
    return Seconds(start, end);
}

// The peak working set of the smallest window program, once its window
// is up and painted.
SIZE_T BaselineWorkingSet()
{
    StartSetupAt(__LINE__, "C:\\baseline.exe", "", -1);
    HWND window = nullptr;
    for (DWORD start = GetTickCount(); window == nullptr && GetTickCount() - start < 30000;) {
        window = FindSetupWindow("TovarinBaseline");
        if (window == nullptr || !IsWindowVisible(window)) {
            window = nullptr;
            Sleep(20);
        }
    }
    if (window == nullptr)
        fail("C:\\baseline.exe shows no window");
    UpdateWindow(window);
    Sleep(200);
    SIZE_T peak = PeakWorkingSet();
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (NeedExit() != 0)
        fail("C:\\baseline.exe ended with an error");
    return peak;
}

void BenchInstall()
{
    std::vector<CatalogueEntry> entries = ReadCatalogueOfA();
    double best = 1e9, bestLoop = 1e9;
    SIZE_T peak = 0, before = 0;
    for (int round = 0; round < kRounds; ++round) {
        SIZE_T roundBefore = 0, roundPeak = 0;
        double copy = InstallerCopy("C:\\Bench", &roundBefore, &roundPeak);
        RemoveTree("C:\\Bench");
        double loop = BareLoop(entries, "C:\\BareLoop");
        RemoveTree("C:\\BareLoop");
        Trace("round %d: installer %.3f s, bare LZ32 loop %.3f s, peak working set %.1f MB", round + 1,
              copy, loop, Megabytes(roundPeak));
        if (copy < best)
            best = copy;
        if (loop < bestLoop)
            bestLoop = loop;
        if (roundPeak > peak) {
            peak = roundPeak;
            before = roundBefore;
        }
    }
    printf("bench-install (%s): %u files; installer copy %.3f s, bare LZ32 loop %.3f s: ratio %.2f "
           "(goal <= 1.25)\n", kArchitecture, (unsigned)entries.size(), best, bestLoop, best / bestLoop);
    // What setup.exe itself costs: its peak over that of the smallest
    // window program, most of which is Wine's own for any such program.
    SIZE_T baseline = BaselineWorkingSet();
    printf("bench-install (%s): peak working set of setup.exe %.1f MB, %.1f MB over the %.1f MB of a "
           "minimal window program in the same prefix (goal <= 8 MB); the copy adds %.1f MB\n",
           kArchitecture, Megabytes(peak), Megabytes(peak > baseline ? peak - baseline : 0),
           Megabytes(baseline), Megabytes(peak - before));
}

const char kSearchReport[] = "C:\\bench-search.txt";
// The one installation of the tree that run-scenario generates on D:.
const char kDeepInstallation[] = "D:\\tree\\a17\\b09\\c21\\Programs\\Tovarin";

void BenchSearch()
{
    std::string command = std::string("C:\\searchbench.exe ") + kSearchReport + " " + kDeepInstallation;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("C:\\searchbench.exe", line.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\",
                        &startup, &process))
        fail("cannot start C:\\searchbench.exe (error %lu)", GetLastError());
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Bytes report;
    if (!ReadBytes(kSearchReport, &report))
        fail("searchbench.exe wrote no report (exit code %lu)", code);
    fwrite(report.data(), 1, report.size(), stdout);
    if (code != 0)
        fail("searchbench.exe ended with exit code %lu", code);
}

}  // namespace

extern const Scenario kBenchScenarios[] = {
    {"bench-install", BenchInstall},
    {"bench-search", BenchSearch},
    {nullptr, nullptr},
};
