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
// make bench-peers: the same copy by silent peer installers of the same
// files, built by bench/peers/make-peers into A:\peers, each fresh and over
// an earlier installation, in one table with setup.exe's copy and the bare
// loop (see BenchPeers).
//
// make bench-search: C:\searchbench.exe times the installer's search for
// earlier installations against a bare walk over the tree that run-scenario
// generated on D:; this scenario runs it and passes its report on.
#include <windows.h>
#include <lzexpand.h>
#include <psapi.h>
#include <shellapi.h>

#include <stdio.h>

#include <algorithm>
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

// One installation up to the program-group page, into a new dest or over
// the earlier installation there (its settings file replaced, so that
// every file is copied); returns the copy's time and the installer's peak
// working set before and after the copy.
double InstallerCopy(const std::string& dest, bool over, SIZE_T* beforeBytes, SIZE_T* peakBytes)
{
    HWND components;
    if (over) {
        components = NeedComponentsOver(dest, 2);
    } else {
        MakeDirs(dest);
        StartSetup("");
        HWND page = NeedDialog(IDD_DESTINATION);
        SetText(page, IDC_DEST_EDIT, dest.c_str());
        Click(page, IDC_DEST_NEXT);
        components = NeedDialog(IDD_COMPONENTS);
    }
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
        double copy = InstallerCopy("C:\\Bench", false, &roundBefore, &roundPeak);
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

// ---- make bench-peers ------------------------------------------------------

const int kPeerRounds = 7;
const char kBenchDest[] = "C:\\Bench";
// What the NSIS installers write: "START END FREQUENCY" of the performance
// counter around their SetOutPath and File commands.
const char kPeerTime[] = "C:\\bench-peer-time.txt";
const char kMsiexec[] = "C:\\windows\\system32\\msiexec.exe";

// Runs a program to its end; returns its whole time from CreateProcess to
// its exit.
double RunProgram(const char* path, const std::string& args)
{
    std::string command = std::string("\"") + path + "\" " + args;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start = Now();
    if (!CreateProcessA(path, line.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &process))
        fail("cannot start %s (error %lu)", command.c_str(), GetLastError());
    DWORD waited = WaitForSingleObject(process.hProcess, 120000);
    LARGE_INTEGER end = Now();
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != WAIT_OBJECT_0)
        fail("%s did not end within 120 s", command.c_str());
    if (code != 0)
        fail("%s ended with exit code %lu", command.c_str(), code);
    return Seconds(start, end);
}

// A silent NSIS installation into kBenchDest; returns the time of its File
// commands as the installer measured it.
double NsisCopy(const char* installer)
{
    DeleteFileA(kPeerTime);
    RunProgram(installer, std::string("/S /D=") + kBenchDest);
    Bytes text;
    if (!ReadBytes(kPeerTime, &text))
        fail("%s wrote no %s", installer, kPeerTime);
    text.push_back(0);
    long long start = 0, end = 0, frequency = 0;
    if (sscanf((const char*)text.data(), "%lld %lld %lld", &start, &end, &frequency) != 3 || frequency <= 0 ||
        end < start)
        fail("%s: not a time: %s", kPeerTime, (const char*)text.data());
    DeleteFileA(kPeerTime);
    return double(end - start) / double(frequency);
}

// The whole run of msiexec.exe itself (not of a "wine msiexec" in front of
// it), installing or removing package A:\peers\NAME.msi.
double MsiRun(const char* verb, const char* package)
{
    return RunProgram(kMsiexec, std::string("/qn ") + verb + " A:\\peers\\" + package + ".msi INSTALLDIR=" +
                                    kBenchDest);
}

// setup.exe moves the document template to the New menu's folder once it
// is copied; every other installer leaves it in the destination.
bool IsMovedTemplate(const CatalogueEntry& e)
{
    return lstrcmpiA(e.targetPath, "default.tvd") == 0;
}

// Every catalogue file is in dest with its catalogue size (setup.exe's
// template aside): each installer placed the same files.
void NeedAllPlaced(const char* who, const std::vector<CatalogueEntry>& entries, const std::string& dest,
                   bool templateMoved)
{
    for (const CatalogueEntry& e : entries) {
        if (templateMoved && IsMovedTemplate(e))
            continue;
        std::string path = dest + "\\" + e.targetPath;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) || data.nFileSizeHigh != 0 ||
            data.nFileSizeLow != e.size)
            fail("%s: %s is not there with its %u bytes", who, path.c_str(), (unsigned)e.size);
    }
}

// The earlier files get a last-write time no installer gives them, so
// that the run over them shows which it wrote again.  Wine's msiexec
// decides by version, size and hash only.
FILETIME MarkTime()
{
    SYSTEMTIME day = {};
    day.wYear = 2001;
    day.wMonth = 1;
    day.wDay = 1;
    FILETIME mark = {};
    SystemTimeToFileTime(&day, &mark);
    return mark;
}

void MarkEarlierFiles(const std::vector<CatalogueEntry>& entries, const std::string& dest)
{
    const FILETIME kMarkTime = MarkTime();
    for (const CatalogueEntry& e : entries) {
        HANDLE file = CreateFileA((dest + "\\" + e.targetPath).c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;   // setup.exe's template, in the New menu's folder
        SetFileTime(file, &kMarkTime, nullptr, &kMarkTime);
        CloseHandle(file);
    }
}

// How many of the catalogue files in dest were written again; *present
// gets how many are there.
int CountRewritten(const std::vector<CatalogueEntry>& entries, const std::string& dest, int* present)
{
    const FILETIME kMarkTime = MarkTime();
    int rewritten = 0;
    *present = 0;
    for (const CatalogueEntry& e : entries) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA((dest + "\\" + e.targetPath).c_str(), GetFileExInfoStandard, &data))
            continue;
        ++*present;
        if (CompareFileTime(&data.ftLastWriteTime, &kMarkTime) != 0)
            rewritten++;
    }
    return rewritten;
}

enum Peer { kNsisZlib, kNsisLzma, kMsi, kSetup, kBare, kPeerCount };

const char* const kPeerNames[kPeerCount] = {"NSIS zlib", "NSIS LZMA", "MSI (wixl)", "setup.exe", "bare LZ32 loop"};

struct PeerTimes {
    std::vector<double> fresh, over;
    int rewritten = -1;   // of the last run over the earlier installation,
    int present = 0;      // of so many catalogue files in the destination
};

// One fresh installation and one over it, by the same installer; the
// earlier installation is that installer's own, except for the MSI: a
// second "msiexec /i" of an installed package changes nothing, so the
// package is removed and the files are put back by the bare loop first.
// The empty package runs beside the MSI under the same conditions.
void PeerRound(Peer peer, const std::vector<CatalogueEntry>& entries, PeerTimes* times, PeerTimes* empty)
{
    RemoveTree(kBenchDest);
    double fresh = 0, over = 0;
    SIZE_T before = 0, peak = 0;
    switch (peer) {
    case kNsisZlib:
    case kNsisLzma: {
        const char* installer = peer == kNsisZlib ? "A:\\peers\\nsis-zlib.exe" : "A:\\peers\\nsis-lzma.exe";
        fresh = NsisCopy(installer);
        NeedAllPlaced(kPeerNames[peer], entries, kBenchDest, peer == kSetup);
        MarkEarlierFiles(entries, kBenchDest);
        over = NsisCopy(installer);
        break;
    }
    case kMsi:
        empty->fresh.push_back(MsiRun("/i", "empty"));
        MsiRun("/x", "empty");
        fresh = MsiRun("/i", "tovarin");
        NeedAllPlaced(kPeerNames[peer], entries, kBenchDest, peer == kSetup);
        MsiRun("/x", "tovarin");
        BareLoop(entries, kBenchDest);
        MarkEarlierFiles(entries, kBenchDest);
        empty->over.push_back(MsiRun("/i", "empty"));
        MsiRun("/x", "empty");
        over = MsiRun("/i", "tovarin");
        break;
    case kSetup:
        fresh = InstallerCopy(kBenchDest, false, &before, &peak);
        NeedAllPlaced(kPeerNames[peer], entries, kBenchDest, peer == kSetup);
        MarkEarlierFiles(entries, kBenchDest);
        over = InstallerCopy(kBenchDest, true, &before, &peak);
        break;
    case kBare:
    case kPeerCount:
        fresh = BareLoop(entries, kBenchDest);
        MarkEarlierFiles(entries, kBenchDest);
        over = BareLoop(entries, kBenchDest);
        break;
    }
    NeedAllPlaced(kPeerNames[peer], entries, kBenchDest, peer == kSetup);
    times->rewritten = CountRewritten(entries, kBenchDest, &times->present);
    if (peer == kMsi)
        MsiRun("/x", "tovarin");
    RemoveTree(kBenchDest);
    times->fresh.push_back(fresh);
    times->over.push_back(over);
    Trace("%s: fresh %.3f s, over %.3f s, %d of %d files written again", kPeerNames[peer], fresh, over,
          times->rewritten, times->present);
}

double Minimum(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Summary {
    double freshMin, freshMedian, overMin, overMedian;
};

Summary Summarise(const PeerTimes& t)
{
    return {Minimum(t.fresh), Median(t.fresh), Minimum(t.over), Median(t.over)};
}

// make bench-peers: each installer fresh into C:\Bench and again over what
// it left there, the installers in turn and the turn's start moved by one
// each round.  NSIS times its own File commands; msiexec gives no such
// hook, so its whole run less that of an empty package is taken.
void BenchPeers()
{
    std::vector<CatalogueEntry> entries = ReadCatalogueOfA();
    uint64_t bytes = 0;
    for (const CatalogueEntry& e : entries)
        bytes += e.size;
    PeerTimes times[kPeerCount], empty;
    for (int round = 0; round < kPeerRounds; ++round)
        for (int i = 0; i < kPeerCount; ++i)
            PeerRound(Peer((i + round) % kPeerCount), entries, &times[(i + round) % kPeerCount], &empty);

    Summary s[kPeerCount];
    for (int p = 0; p < kPeerCount; ++p)
        s[p] = Summarise(times[p]);
    Summary e = Summarise(empty);
    s[kMsi].freshMin -= e.freshMin;
    s[kMsi].freshMedian -= e.freshMedian;
    s[kMsi].overMin -= e.overMin;
    s[kMsi].overMedian -= e.overMedian;
    const Summary& ref = s[kSetup];

    printf("bench-peers (%s): %u files, %llu bytes, into %s; %d runs each, alternated; seconds (ratio to "
           "setup.exe)\n", kArchitecture, (unsigned)entries.size(), (unsigned long long)bytes, kBenchDest,
           kPeerRounds);
    printf("                 fresh                        over an earlier installation    written\n");
    printf("                 min           median         min           median          again\n");
    for (int p = 0; p < kPeerCount; ++p)
        printf("%-16s %.3f (%.2f)  %.3f (%.2f)   %.3f (%.2f)  %.3f (%.2f)   %2d/%d\n", kPeerNames[p],
               s[p].freshMin, s[p].freshMin / ref.freshMin, s[p].freshMedian, s[p].freshMedian / ref.freshMedian,
               s[p].overMin, s[p].overMin / ref.overMin, s[p].overMedian, s[p].overMedian / ref.overMedian,
               times[p].rewritten, times[p].present);
    printf("timed: NSIS inside, its SetOutPath and File commands (performance counter, System plug-in);\n"
           "       MSI the whole msiexec.exe less an empty package's (fresh %.3f/%.3f s, over %.3f/%.3f s "
           "min/median);\n"
           "       setup.exe inside, Next on the components page to the copy page closing; bare loop inside.\n",
           e.freshMin, e.freshMedian, e.overMin, e.overMedian);
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
    {"bench-peers", BenchPeers},
    {"bench-search", BenchSearch},
    {nullptr, nullptr},
};
