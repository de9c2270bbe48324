// The end-to-end scenarios of the copy phase: the component pages, the copy
// engine with its disks and message boxes, the copy-progress page and the
// billboards.  Each scenario builds its own distribution in the prefix
// (catalogue and SZDD files), except the two that install the sample
// distribution of "make dist", which run-scenario copies in.
#include "tests/e2e/driver/scenarios.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "catalogue/catfile.h"
#include "install/record.h"
#include "resources/resource.h"
#include "tests/e2e/driver/driver.h"
#include "tools/szdd/szdd.h"

namespace {

const char kDest[] = "C:\\Dest";
const char kShellNew[] = "C:\\windows\\ShellNew";

// Text-like bytes that compress as real files do; the seed tells files apart.
Bytes Content(uint32_t seed, size_t size)
{
    static const char* const words[] = {"tovarin", "page", "frame", "text", "picture", "layout",
                                        "style", "font", "column", "document", "the", "of"};
    Bytes bytes;
    bytes.reserve(size + 32);
    uint32_t x = seed * 2654435761u + 7;
    int column = 0;
    while (bytes.size() < size) {
        x = x * 1103515245u + 12345u;
        char word[24];
        int n = (x >> 28) < 3 ? snprintf(word, sizeof word, "%u", x >> 20)
                              : snprintf(word, sizeof word, "%s", words[(x >> 16) % 12]);
        bytes.insert(bytes.end(), word, word + n);
        column += n + 1;
        bytes.push_back(column > 64 ? '\n' : ' ');
        column = column > 64 ? 0 : column;
    }
    bytes.resize(size);
    return bytes;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

bool IsShellNewTemplate(const std::string& target)
{
    size_t slash = target.find_last_of('\\');
    return Lower(target.substr(slash == std::string::npos ? 0 : slash + 1)) == "default.tvd";
}

// The bytes of a file as the disk holds it.
Bytes DiskBytes(const DistFile& file)
{
    if (file.storage == kPlain)
        return file.content;
    Bytes out, data = file.content;
    if (file.storage == kLonger) {
        Bytes more = Content(7, 4000);
        data.insert(data.end(), more.begin(), more.end());
    }
    if (SzddCompress(data.data(), data.size(), (uint8_t)file.target.back(), &out) != kSzddOk)
        fail("cannot compress %s", file.source.c_str());
    if (file.storage == kDamaged)
        out.resize(kSzddHeaderBytes + (out.size() - kSzddHeaderBytes) / 3);
    return out;
}

void WriteCatalogueAt(int line, const std::string& path, const Distribution& dist)
{
    std::vector<CatalogueRecord> records;
    for (const DistFile& f : dist)
        records.push_back({f.source.c_str(), f.target.c_str(), f.mask, (uint32_t)f.content.size()});
    Bytes bytes((size_t)CatalogueFileBytes((uint32_t)records.size()));
    if (EncodeCatalogue(records.data(), (uint32_t)records.size(), bytes.data(), bytes.size()) != bytes.size())
        FailAt(line, "the catalogue of %u files does not encode", (unsigned)records.size());
    WriteBytesAt(line, path, bytes.data(), bytes.size());
}

} // namespace

DistFile File(const char* source, const char* target, uint32_t mask, size_t size, Storage storage, int disk)
{
    static uint32_t seed = 1;
    return DistFile{source, target, mask, Content(seed++, size), storage, disk};
}

// Writes the catalogue and the files of disk (0: every disk) into dir.  A
// source name that several entries share is written once.
void WriteDiskAt(int line, const std::string& dir, const Distribution& dist, int disk)
{
    MakeDirsAt(line, dir);
    if (disk <= 1)
        WriteCatalogueAt(line, dir + "\\setup.inf", dist);
    std::vector<std::string> written;
    for (const DistFile& f : dist) {
        if ((disk != 0 && f.disk != disk) || std::count(written.begin(), written.end(), Lower(f.source)))
            continue;
        written.push_back(Lower(f.source));
        Bytes bytes = DiskBytes(f);
        WriteBytesAt(line, dir + "\\" + f.source, bytes.data(), bytes.size());
    }
}

std::string DiskDir(int disk)
{
    return "C:\\disks\\disk" + std::to_string(disk);
}

void WriteFloppiesAt(int line, const Distribution& dist)
{
    int disks = 0;
    for (const DistFile& f : dist)
        disks = std::max(disks, f.disk);
    for (int disk = 1; disk <= disks; disk++)
        WriteDiskAt(line, DiskDir(disk), dist, disk);
    CopyIntoAt(line, "A:\\setup.exe", DiskDir(1) + "\\setup.exe");
    ChangeDiskAt(line, DiskDir(1));
}

namespace {

// ---- Checks on files --------------------------------------------------------------

void ExpectBytesAt(int line, const std::string& path, const Bytes& expected)
{
    Bytes got;
    if (!ReadBytes(path, &got)) {
        OkAt(line, false, "%s is missing", path.c_str());
        return;
    }
    if (got == expected)
        return;
    size_t at = std::mismatch(got.begin(), got.begin() + (long)std::min(got.size(), expected.size()),
                              expected.begin()).first - got.begin();
    OkAt(line, false, "%s: %u bytes that differ from offset %u on, expected %u bytes", path.c_str(),
         (unsigned)got.size(), (unsigned)at, (unsigned)expected.size());
}
#define ExpectBytes(path, expected) ExpectBytesAt(__LINE__, (path), (expected))

std::vector<std::string> LowerAll(std::vector<std::string> names)
{
    for (std::string& name : names)
        name = Lower(name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

void ExpectSameFilesAt(int line, const char* what, const std::vector<std::string>& got,
                       const std::vector<std::string>& expected)
{
    for (const std::string& name : expected)
        OkAt(line, std::count(got.begin(), got.end(), name) > 0, "%s: %s is missing", what, name.c_str());
    for (const std::string& name : got)
        OkAt(line, std::count(expected.begin(), expected.end(), name) > 0, "%s: %s is there, expected not",
             what, name.c_str());
}

// The folder that the New menu's template goes to: the Windows directory's
// ShellNew where the prefix has one, else the user's Templates folder.
std::string TemplateFolder()
{
    if (DirExists(kShellNew))
        return kShellNew;
    char folder[MAX_PATH] = "";
    DWORD bytes = sizeof folder - 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, "Templates", nullptr, nullptr, (BYTE*)folder, &bytes) != ERROR_SUCCESS)
            folder[0] = '\0';
        RegCloseKey(key);
    }
    return folder;
}

// The destination holds exactly the files of the components in mask, each
// with its full content; a "default.tvd" lies in the template folder
// instead, or stays in the destination when there is none.
void ExpectInstalledAt(int line, const std::string& dest, const Distribution& dist, uint32_t mask)
{
    std::vector<std::string> expected;
    std::string folder = TemplateFolder();
    bool placed = false;
    for (const DistFile& f : dist) {
        if (!(f.mask & mask))
            continue;
        if (IsShellNewTemplate(f.target) && !folder.empty() && DirExists(folder.c_str())) {
            placed = true;
            ExpectBytesAt(line, folder + "\\default.tvd", f.content);
            continue;
        }
        expected.push_back(Lower(f.target));
        ExpectBytesAt(line, dest + "\\" + f.target, f.content);
    }
    Trace("%u files checked in %s%s%s", (unsigned)expected.size(), dest.c_str(),
          placed ? ", and default.tvd in " : "", placed ? folder.c_str() : "");
    if (!placed && !folder.empty())
        OkAt(line, !FileExists((folder + "\\default.tvd").c_str()),
             "a default.tvd lies in %s although none was to be placed there", folder.c_str());
    expected.insert(expected.end(), kSetupOwnFiles.begin(), kSetupOwnFiles.end());
    ExpectSameFilesAt(line, dest.c_str(), LowerAll(FilesUnder(dest)), LowerAll(expected));
}
#define ExpectInstalled(dest, dist, mask) ExpectInstalledAt(__LINE__, (dest), (dist), (mask))

// Every file in the destination is a whole file of the distribution.
void ExpectWholeAt(int line, const std::string& dest, const Distribution& dist)
{
    for (const std::string& name : LowerAll(FilesUnder(dest))) {
        auto f = std::find_if(dist.begin(), dist.end(), [&](const DistFile& d) { return Lower(d.target) == name; });
        if (IsSetupOwnFile(name))
            continue;
        if (f == dist.end())
            OkAt(line, false, "%s\\%s does not belong to the distribution", dest.c_str(), name.c_str());
        else
            ExpectBytesAt(line, dest + "\\" + name, f->content);
    }
}
#define ExpectWhole(dest, dist) ExpectWholeAt(__LINE__, (dest), (dist))

// ---- Pages ---------------------------------------------------------------------------

bool Checked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutW(Control(dialog, id), BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &state);
    return state == BST_CHECKED;
}

long Number(HWND dialog, int id)
{
    return strtol(ControlText(dialog, id).c_str(), nullptr, 10);
}

// A click is posted: the page shows its effect a moment later.  Polls up to
// 3 s for the expected state.
template <typename Condition>
bool Soon(Condition condition)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 3000; Sleep(kPollMs)) {
        if (condition())
            return true;
    }
    return condition();
}

#define ExpectKB(dialog, kb, what) \
    ok(Soon([&] { return Number((dialog), IDC_REQUIRED_KB) == (long)(kb); }), "%s: %ld KB required, expected %ld", \
       (what), Number((dialog), IDC_REQUIRED_KB), (long)(kb))

uint32_t KB(uint32_t bytes)
{
    return BytesToKB(bytes);
}

uint32_t TotalBytes(const Distribution& dist, uint32_t mask)
{
    uint32_t total = 0;
    for (const DistFile& f : dist)
        total += (f.mask & mask) ? (uint32_t)f.content.size() : 0;
    return total;
}

} // namespace

HWND NeedComponentsPageAt(int line, const std::string& dest, const char* setupPath)
{
    MakeDirsAt(line, dest);
    StartSetupAt(line, setupPath, "", -1);
    HWND page = nullptr;
    for (DWORD start = GetTickCount(); !page; Sleep(kPollMs)) {
        if (HWND existing = FindDialog(IDD_EXISTING)) {
            ClickAt(line, existing, IDC_OTHER_DIRECTORY);
            NeedGoneAt(line, existing);
        }
        page = FindDialog(IDD_DESTINATION);
        if (!page && (!SetupRunning() || GetTickCount() - start > kWaitMs))
            FailAt(line, "the destination page did not come");
    }
    SetTextAt(line, page, IDC_DEST_EDIT, dest.c_str());
    ClickAt(line, page, IDC_DEST_NEXT);
    NeedGoneAt(line, page);
    return NeedDialogAt(line, IDD_COMPONENTS, kWaitMs);
}

namespace {

// Where a successful copy ends: the program-group page comes, with no other
// dialog after the copy-progress page; a confirmed cancel there ends the run
// with 0.  What follows the copy is the program-group scenarios' business.
void NeedCopyFinishedAt(int line)
{
    HWND group = nullptr;
    for (DWORD start = GetTickCount(); !(group = FindDialog(IDD_GROUP)); Sleep(kPollMs)) {
        for (int id : ShownDialogs())
            if (id != IDD_PROGRESS && id != IDD_GROUP && id != IDD_PANEL_GROUP)
                FailAt(line, "dialog %d appeared, expected the program-group page after the copy", id);
        if (!SetupRunning())
            FailAt(line, "setup.exe ended (exit code %lu) instead of showing the program-group page", NeedExit());
        if (GetTickCount() - start > kWaitMs)
            FailAt(line, "no program-group page within %d ms", kWaitMs);
    }
    ClickAt(line, group, IDCANCEL);
    AnswerAt(line, MSG_CONFIRM_CANCEL, 1, group);
    static const int allowed[] = {IDD_GROUP, IDD_PANEL_GROUP};
    DWORD code = NeedExitAt(line, kExitWaitMs, allowed, 2);
    OkAt(line, code == 0, "exit code %lu after cancelling on the program-group page, expected 0", code);
}
#define NeedCopyFinished() NeedCopyFinishedAt(__LINE__)

// A copy that the user stopped (cancel, abort) ends with 0 and no further
// dialog: nothing is rolled back and nothing more is asked.
void NeedCopyStoppedAt(int line)
{
    static const int allowed[] = {IDD_PROGRESS};
    DWORD code = NeedExitAt(line, kExitWaitMs, allowed, 1);
    OkAt(line, code == 0, "exit code %lu after the copy was stopped, expected 0", code);
}
#define NeedCopyStopped() NeedCopyStoppedAt(__LINE__)

// Next on the components page: the copy runs.
void StartCopyAt(int line, HWND components)
{
    ClickAt(line, components, IDC_COMPONENTS_NEXT);
    NeedGoneAt(line, components);
}
#define StartCopy(page) StartCopyAt(__LINE__, (page))

HWND Backdrop()
{
    HWND backdrop = FindSetupWindow("ORV_DSKINSTALL");
    if (!backdrop)
        fail("no backdrop window");
    return backdrop;
}

// Where the backdrop shows a billboard: 'L' or 'R' by the grey band of its
// frame (3 pixels from the frame's outer edge, 15 pixels from the client
// edge), '-' for neither, '2' for both.
char BillboardSide(HWND backdrop)
{
    RECT client;
    GetClientRect(backdrop, &client);
    POINT band[2] = {{17, 190}, {client.right - 18, 190}};
    ClientToScreen(backdrop, &band[0]);
    ClientToScreen(backdrop, &band[1]);
    const COLORREF grey = RGB(0xC0, 0xC0, 0xC0);
    bool left = ScreenPixel(band[0].x, band[0].y) == grey, right = ScreenPixel(band[1].x, band[1].y) == grey;
    return left && right ? '2' : left ? 'L' : right ? 'R' : '-';
}

// True when window a lies above window b.
bool Above(HWND a, HWND b)
{
    for (HWND w = GetWindow(a, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == b)
            return true;
    return false;
}

// A screenshot of what a message box covers: the box is moved down out of
// the way first (the copy stands still while it is up).
void ShotBeside(HWND box, const char* name)
{
    RECT rect = WindowRect(box);
    SetWindowPos(box, nullptr, rect.left, GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top) - 60, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Shot(name);
}

// The copy-progress page stays in sight above the backdrop, also after a
// message box of the backdrop has closed.
#define ExpectProgressOnTop() ExpectProgressOnTopAt(__LINE__)
void ExpectProgressOnTopAt(int line)
{
    HWND progress = FindDialog(IDD_PROGRESS);
    OkAt(line, progress && Above(progress, Backdrop()), "the copy-progress page is %s",
         progress ? "behind the backdrop" : "not shown");
}

// The indicator of the copy-progress page shows percent: the light grey
// control inverted from its left edge to right / 100 * percent (exclusive).
// Read in its top row, above the percentage text.
#define ExpectBar(percent) ExpectBarAt(__LINE__, (percent))
void ExpectBarAt(int line, int percent)
{
    HWND progress = FindDialog(IDD_PROGRESS);
    if (!progress)
        FailAt(line, "no copy-progress page");
    HWND indicator = ControlAt(line, progress, IDC_PROGRESS_BAR);
    RECT rect;
    GetClientRect(indicator, &rect);
    int end = (int)(rect.right / 100.0 * percent);
    POINT inside = {end - 1, 1}, outside = {end, 1};
    ClientToScreen(indicator, &inside);
    ClientToScreen(indicator, &outside);
    COLORREF bar = ScreenPixel(inside.x, inside.y), rest = ScreenPixel(outside.x, outside.y);
    OkAt(line, bar == RGB(0x3F, 0x3F, 0x3F) && rest == RGB(0xC0, 0xC0, 0xC0),
         "indicator %ld pixels wide at %d %%: pixel %d is %06lx, pixel %d is %06lx; expected the bar to end at %d",
         rect.right, percent, end - 1, (unsigned long)bar, end, (unsigned long)rest, end);
}

// Waits for message box n and returns it (not answered yet).
#define NeedBox(n) NeedDialog(IDD_MESSAGE_BASE + (n))

// The disk that box 9 asks for: the first number in its text.
int DiskAsked(HWND box)
{
    std::string text = ControlText(box, IDC_MESSAGE_TEXT);
    size_t digit = text.find_first_of("0123456789");
    return digit == std::string::npos ? -1 : atoi(text.c_str() + digit);
}

#define NeedDiskBox(disk) NeedDiskBoxAt(__LINE__, (disk))
HWND NeedDiskBoxAt(int line, int disk)
{
    HWND box = NeedDialogAt(line, IDD_MESSAGE_BASE + MSG_INSERT_DISK, kWaitMs);
    OkAt(line, DiskAsked(box) == disk, "box 9 asks for disk %d, expected disk %d: \"%s\"", DiskAsked(box), disk,
         ControlText(box, IDC_MESSAGE_TEXT).c_str());
    OkAt(line, Owner(box) == FindSetupWindow("ORV_DSKINSTALL"), "box 9 is not owned by the backdrop");
    return box;
}

void Press(HWND box, int button)
{
    Trace("message box %d: pressing %d", DialogId(box) - IDD_MESSAGE_BASE, button);
    Click(box, button);
    NeedGone(box);
}

// ---- Scenarios -------------------------------------------------------------------------

// Components with and without files, the required and free space, and the
// custom components page, whose changes only OK keeps; the copy then
// installs what the pages chose.
void ComponentsPage()
{
    const Distribution dist = {
        File("base.da_", "base.dat", kBaseComponent, 30000),
        File("main1.da_", "main1.dat", 0x2, 200 * 1024),
        File("main2.da_", "main2.dat", 0x4, 100 * 1024),
        File("guide.hl_", "guide\\guide.hlp", kGuideComponent, 50 * 1024),
        File("opt1.da_", "opt1.dat", 0x100, 100 * 1024),
        File("opt2.da_", "opt2.dat", 0x200, 40 * 1024),
    };
    WriteDisk("A:", dist, 0);
    const uint32_t all = TotalBytes(dist, ~0u);
    HWND page = NeedComponentsPage(kDest);
    HWND backdrop = Backdrop();
    ExpectPlaced(page, 1);
    HWND panel = NeedDialog(IDD_PANEL_COMPONENTS);
    ok(Owner(panel) == backdrop, "panel 152 is not owned by the backdrop");
    ExpectPlaced(panel, 2);

    long freeKB = (long)FreeKB(kDest);
    ok(Number(page, IDC_REQUIRED_KB) == (long)KB(all), "required %ld KB, expected %u", Number(page, IDC_REQUIRED_KB),
       KB(all));
    // C: is the build machine's disk, which other tests write to meanwhile.
    ok(labs(Number(page, IDC_FREE_KB) - freeKB) <= std::max(10240L, freeKB / 100), "free %ld KB, the drive has %ld",
       Number(page, IDC_FREE_KB), freeKB);
    for (int id = IDC_MAIN_FIRST; id <= IDC_MAIN_LAST; id++) {
        bool hasFiles = TotalBytes(dist, ControlComponentBit(id)) != 0;
        ok(Enabled(page, id) == hasFiles, "check box %d is %s", id, hasFiles ? "disabled" : "enabled without files");
        ok(!hasFiles || Checked(page, id), "check box %d is not checked at first", id);
    }
    ok(Checked(page, IDC_OPTIONAL_GROUP) && Enabled(page, IDC_DETAILS), "the optional group is not on at first");
    Shot("components");

    Click(page, 11);   // main2, 100 KB
    const long before = (long)KB(all - 100 * 1024);
    ExpectKB(page, before, "after deselecting 100 KB");

    // Changes on the custom page, then cancel: nothing is kept.
    Click(page, IDC_DETAILS);
    HWND custom = NeedDialog(IDD_CUSTOM);
    ok(Owner(custom) == page, "the custom components page is not owned by the components page");
    ExpectPlaced(custom, 1);
    HWND customPanel = NeedDialog(IDD_PANEL_CUSTOM);
    ok(Owner(customPanel) == backdrop, "panel 153 is not owned by the backdrop");
    ok(!IsWindowEnabled(page), "the components page stays enabled under the custom page");
    ExpectKB(custom, before, "custom page at first");
    ok(labs(Number(custom, IDC_FREE_KB) - freeKB) <= std::max(10240L, freeKB / 100),
       "the custom page shows %ld KB free, the drive has %ld", Number(custom, IDC_FREE_KB), freeKB);
    for (int id = IDC_OPTIONAL_FIRST; id <= IDC_OPTIONAL_LAST; id++) {
        bool hasFiles = TotalBytes(dist, ControlComponentBit(id)) != 0;
        ok(Enabled(custom, id) == hasFiles, "custom check box %d is %s", id,
           hasFiles ? "disabled" : "enabled without files");
        ok(!hasFiles || Checked(custom, id), "custom check box %d is not checked at first", id);
    }
    Shot("custom-components");
    Click(custom, 30);   // opt1, 100 KB
    Click(custom, 31);   // opt2, 40 KB
    ExpectKB(custom, KB(all - 240 * 1024), "custom page after deselecting 140 KB");
    ExpectKB(page, before, "components page under the custom page");
    Click(custom, IDCANCEL);
    NeedGone(custom);
    NeedGone(customPanel);
    ExpectKB(page, before, "after cancelling the custom page");

    // The same page again is as before; this time OK keeps one change.
    Click(page, IDC_DETAILS);
    custom = NeedDialog(IDD_CUSTOM);
    ok(Checked(custom, 30) && Checked(custom, 31), "the cancelled changes came back on the custom page");
    Click(custom, 30);
    ExpectKB(custom, KB(all - 200 * 1024), "custom page, second visit");
    Click(custom, IDOK);
    NeedGone(custom);
    ExpectKB(page, KB(all - 200 * 1024), "after OK on the custom page");

    // The optional group off and on again.
    Click(page, IDC_OPTIONAL_GROUP);
    ok(Soon([&] { return !Enabled(page, IDC_DETAILS); }), "button 18 stays enabled with the optional group off");
    ExpectKB(page, KB(all - 240 * 1024), "with the optional group off");
    Click(page, IDC_OPTIONAL_GROUP);
    ok(Soon([&] { return Enabled(page, IDC_DETAILS); }), "button 18 stays disabled with the optional group on");
    ExpectKB(page, KB(all - 200 * 1024), "with the optional group on again");

    // Cancel declined keeps the page as it is.
    Click(page, IDCANCEL);
    Answer(MSG_CONFIRM_CANCEL, 2, page);
    ok(FindDialog(IDD_COMPONENTS) == page, "the page did not stay after declining to cancel");
    ExpectKB(page, KB(all - 200 * 1024), "after declining to cancel");

    StartCopy(page);
    NeedCopyFinished();
    ExpectInstalled(kDest, dist, kBaseComponent | 0x2 | kGuideComponent | 0x200);
}

// Odd but valid distributions: names with blanks and mixed case, empty
// files, block-sized files, a file that expands to more than the catalogue
// size, nested targets, a name two entries share, files
// of deselected components, a stray file, the document template and a
// settings file on a fresh installation.
void OddDistribution()
{
    const Distribution dist = {
        File("my file.da_", "sub dir\\my file.dat", kBaseComponent, 5000),
        File("UPPER.DA_", "Upper.Dat", kBaseComponent, 3000),
        File("empty.da_", "empty.dat", kBaseComponent, 0),
        File("empty2.dat", "empty2.dat", kBaseComponent, 0, kPlain),
        File("block.da_", "block.dat", kBaseComponent, 100000),
        File("blocks.dat", "blocks.dat", kBaseComponent, 250000, kPlain),
        File("deep.da_", "a\\b\\c\\deep.dat", 0x2, 1000),
        File("shared.da_", "one\\shared.dat", kBaseComponent, 7000),
        File("main2.da_", "main2.dat", 0x4, 4000),
        File("multi.da_", "multi.dat", 0x4 | 0x8, 4000),
        File("opt.da_", "opt.dat", 0x100, 4000),
        File("default.tv_", "templates\\default.tvd", kBaseComponent, 1500),
        File("user.tv_", "user.tvs", kBaseComponent, 800),
        File("longer.da_", "longer.dat", kBaseComponent, 6000, kLonger),   // gets its catalogue size
    };
    Distribution withShared = dist;
    withShared.push_back(dist[7]);
    withShared.back().target = "two\\shared.dat";
    WriteDisk("A:", withShared, 0);
    // Lower case on the disk, upper case in the catalogue.
    ok(MoveFileA("A:\\UPPER.DA_", "A:\\upper.da_") != 0, "cannot rename UPPER.DA_");
    WriteBytes("A:\\stray.dat", "stray", 5);
    MakeDirs(kShellNew);

    HWND page = NeedComponentsPage(kDest);
    Click(page, 11);   // 0x4 off
    Click(page, IDC_OPTIONAL_GROUP);
    StartCopy(page);
    // One pass installs one entry per disk name: the second user of the
    // shared name needs a second pass over the same disk.
    HWND box = NeedDiskBox(2);
    Press(box, 1);
    NeedCopyFinished();
    ExpectInstalled(kDest, withShared, 0xFFFFF & ~0x4u & ~(uint32_t)kOptionalComponents);
}

// setup.exe started from a directory deeper than 128 characters still finds
// and expands its files.  (And without optional files the optional group
// cannot be switched; without a ShellNew folder the document template goes
// to the user's Templates folder.)
void LongSourceDir()
{
    std::string dir = "C:\\" + std::string(60, 'x') + "\\" + std::string(60, 'y') + "\\source-of-tovarin";
    const Distribution dist = {
        File("packed.da_", "packed.dat", kBaseComponent, 20000),
        File("plain.dat", "plain.dat", kBaseComponent, 3000, kPlain),
        File("default.tv_", "default.tvd", kBaseComponent, 900),   // no ShellNew folder: Templates
    };
    WriteDisk(dir, dist, 0);
    CopyInto("A:\\setup.exe", dir + "\\setup.exe");
    HWND page = NeedComponentsPage(kDest, (dir + "\\setup.exe").c_str());
    // No optional component has files: the group's box and button are off.
    ok(!Enabled(page, IDC_OPTIONAL_GROUP) && !Enabled(page, IDC_DETAILS),
       "check box 17 or button 18 is enabled without optional files");
    StartCopy(page);
    NeedCopyFinished();
    ExpectInstalled(kDest, dist, ~0u);
}

// A target path that does not fit 259 characters is refused with box 10,
// which names it; ignored, the rest installs.
void LongTarget()
{
    std::string dest = kDest;
    while (dest.size() < 235)
        dest += "\\deep-enough";
    dest.resize(235);
    const Distribution dist = {
        File("short.da_", "short.dat", kBaseComponent, 2000),
        File("long.da_", "sub\\a-name-that-does-not-fit.dat", kBaseComponent, 2000),
        File("after.da_", "after.dat", kBaseComponent, 2000),
    };
    WriteDisk("A:", dist, 0);
    StartCopy(NeedComponentsPage(dest));
    HWND box = NeedBox(MSG_EXPAND_FAILED);
    std::string text = ControlText(box, IDC_MESSAGE_TEXT);
    ok(text.find(Lower(dest) + "\\sub\\a-name-that-does-not-fit.dat") != std::string::npos,
       "box 10 does not name the file lower-cased: \"%s\"", text.c_str());
    Shot("long-path");
    Press(box, 2);
    NeedCopyFinished();
    Distribution rest = {dist[0], dist[2]};
    ExpectInstalled(dest, rest, ~0u);
}

// Installing over an earlier installation: a read-only file is replaced,
// and the settings file is kept byte for byte when the user says so.
void KeepSettings()
{
    static const struct {
        const char* name;
        int answer;   // box 1: 1 keep, 2 replace
    } cases[] = {{"keep", 1}, {"replace", 2}};
    const Distribution dist = {
        File("tovarin.ex_", "tovarin.exe", kBaseComponent, 40000),
        File("tovarin.tv_", "tovarin.tvs", kBaseComponent, 3000),
        File("readme.tx_", "readme.txt", 0x2, 6000),
    };
    const std::string old = "D:\\Old";
    const Bytes oldSettings = Content(99, 1234);
    for (const auto& c : cases) {
        SetCase(c.name);
        WriteDisk("A:", dist, 0);
        MakeDirs(old);
        WriteBytes(old + "\\tovarin.exe", "MZ", 2);
        WriteBytes(old + "\\tovarin.tvs", oldSettings.data(), oldSettings.size());
        if (FileExists((old + "\\readme.txt").c_str()))
            SetFileAttributesA((old + "\\readme.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteBytes(old + "\\readme.txt", "old", 3);
        SetReadOnly(old + "\\readme.txt");

        StartSetup("");
        HWND page = NeedDialog(IDD_EXISTING);
        ok(ListItems(page, IDC_FOUND_LIST) == std::vector<std::string>({old}), "the earlier installation is not listed");
        Click(page, IDC_INSTALL_OVER);
        Answer(MSG_KEEP_SETTINGS, c.answer, page);
        NeedGone(page);
        StartCopy(NeedDialog(IDD_COMPONENTS));
        NeedCopyFinished();
        ExpectBytes(old + "\\tovarin.exe", dist[0].content);
        ExpectBytes(old + "\\readme.txt", dist[2].content);
        ExpectBytes(old + "\\tovarin.tvs", c.answer == 1 ? oldSettings : dist[1].content);
    }
    SetCase(nullptr);
}

// A compressed file that cannot give its catalogue size brings box 10:
// ignore goes on to the end; retry asks again; abort stops at once.
void DamagedFile()
{
    static const struct {
        const char* name;
        std::vector<int> answers;   // to box 10, in turn
    } cases[] = {{"ignore", {2}}, {"retry-abort", {1, 3}}};
    Distribution dist = {
        File("first.da_", "first.dat", kBaseComponent, 20000),
        File("broken.da_", "broken.dat", kBaseComponent, 60000, kDamaged),
        File("second.da_", "second.dat", kBaseComponent, 20000),
        File("third.dat", "third.dat", kBaseComponent, 20000, kPlain),
        File("fourth.da_", "fourth.dat", kBaseComponent, 20000),
    };
    for (const auto& c : cases) {
        SetCase(c.name);
        WriteDisk("A:", dist, 0);
        std::string dest = std::string(kDest) + "-" + c.name;
        StartCopy(NeedComponentsPage(dest));
        std::vector<std::string> before;
        for (int answer : c.answers) {
            HWND box = NeedBox(MSG_EXPAND_FAILED);
            std::string text = Lower(ControlText(box, IDC_MESSAGE_TEXT));
            ok(text.find(Lower(dest) + "\\broken.dat") != std::string::npos, "box 10 does not name the file: \"%s\"",
               text.c_str());
            ok(Owner(box) == Backdrop(), "box 10 is not owned by the backdrop");
            before = FilesUnder(dest);
            Press(box, answer);
        }
        if (c.answers.back() == 2) {
            NeedCopyFinished();
            RemoveFile(dest + "\\broken.dat");   // what it holds after the failure is not fixed
            Distribution rest = dist;
            rest.erase(rest.begin() + 1);
            ExpectInstalled(dest, rest, ~0u);
        } else {
            NeedCopyStopped();
            ok(FilesUnder(dest) == before, "files were installed after the abort");
            RemoveFile(dest + "\\broken.dat");
            Distribution whole = dist;
            whole.erase(whole.begin() + 1);
            ExpectWhole(dest, whole);
        }
    }
    SetCase(nullptr);
}

// The floppy set: box 9 asks for the next disk by its number, again when the
// same disk is confirmed, and its cancel ends the run with what was
// installed so far.
void Floppies()
{
    const Distribution dist = {
        File("one.da_", "one.dat", kBaseComponent, 30000, kCompressed, 1),
        File("two.da_", "sub\\two.dat", kBaseComponent, 12000, kCompressed, 1),
        File("three.da_", "three.dat", kBaseComponent, 25000, kCompressed, 2),
        File("four.dat", "four.dat", 0x2, 9000, kPlain, 2),
        File("five.da_", "five.dat", kBaseComponent, 15000, kCompressed, 3),
    };
    WriteFloppies(dist);
    StartCopy(NeedComponentsPage(kDest));
    HWND box = NeedDiskBox(2);
    ExpectInstalled(kDest, Distribution(dist.begin(), dist.begin() + 2), ~0u);
    // 91,000 bytes in all: only the first and the last billboard show, for
    // 45,500 bytes each.
    ok(BillboardSide(Backdrop()) == 'L', "after 42,000 bytes the billboard is on side %c, expected L",
       BillboardSide(Backdrop()));
    ExpectProgressOnTop();
    Press(box, 1);   // the same disk still in
    box = NeedDiskBox(2);
    ExpectProgressOnTop();
    ChangeDisk(DiskDir(2));
    Press(box, 1);
    box = NeedDiskBox(3);
    ok(BillboardSide(Backdrop()) == 'R', "after 76,000 bytes the billboard is on side %c, expected the last one, R",
       BillboardSide(Backdrop()));
    Press(box, 2);
    NeedCopyStopped();
    ExpectInstalled(kDest, Distribution(dist.begin(), dist.begin() + 4), ~0u);
}

// Cancel on the copy-progress page: declined, the copy goes on to the end;
// confirmed, it stops after the current file.  Many files, so that the
// click lands while the copy runs.
void CancelCopy()
{
    Distribution dist;
    char source[32];
    for (int i = 0; i < 400; i++) {
        snprintf(source, sizeof source, "file%03d.dat", i);
        dist.push_back(File(source, source, kBaseComponent, 25000, kPlain));
    }
    WriteDisk("A:", dist, 0);
    static const struct {
        const char* name;
        int answer;   // box 2: 1 stop, 2 go on
    } cases[] = {{"declined", 2}, {"confirmed", 1}};
    for (const auto& c : cases) {
        SetCase(c.name);
        std::string dest = std::string(kDest) + "-" + c.name;
        StartCopy(NeedComponentsPage(dest));
        HWND progress = NeedDialog(IDD_PROGRESS);
        // Once the first file is there the copy loop runs (a click that came
        // earlier would be served while the page opens, before copying).
        ok(Soon([&] { return FilesUnder(dest).size() > kSetupOwnFiles.size(); }), "no file was installed within 3 s");
        Click(progress, IDCANCEL);
        HWND box = NeedBox(MSG_CONFIRM_CANCEL);
        ok(Owner(box) == progress, "box 2 is not owned by the copy-progress page");
        std::vector<std::string> before = FilesUnder(dest);
        ok(!before.empty() && before.size() < dist.size(), "%u files installed when the cancel was served",
           (unsigned)before.size());
        Trace("%u files installed when box 2 came", (unsigned)before.size());
        ok(BillboardSide(Backdrop()) == 'L', "billboard 1 is not at the left while copying: side %c",
           BillboardSide(Backdrop()));
        if (c.answer == 2)
            Shot("progress-held");
        Press(box, c.answer);
        if (c.answer == 2) {
            NeedCopyFinished();
            ExpectInstalled(dest, dist, ~0u);
        } else {
            NeedCopyStopped();
            ok(FilesUnder(dest) == before, "%u files before the cancel, %u after it", (unsigned)before.size(),
               (unsigned)FilesUnder(dest).size());
            ExpectWhole(dest, dist);
        }
    }
    SetCase(nullptr);
}

// A drive too small for the selection: box 5 on next and on back, with its
// three answers; going on anyway runs into a full disk, which brings box 0
// and then box 10.  A selection of exactly the free space passes.
void SmallDrive()
{
    if (!DirExists("E:\\"))
        fail("no drive E: (run-scenario mounts a 2 MB tmpfs for it)");
    const Distribution dist = {
        File("big1.dat", "big1.dat", kBaseComponent, 1000000, kPlain),
        File("big2.dat", "big2.dat", kBaseComponent, 1000000, kPlain),
        File("big3.dat", "big3.dat", 0x2, 1000000, kPlain),
    };
    WriteDisk("A:", dist, 0);
    const std::string dest = "E:\\Dest";

    SetCase("stay, back, cancel");
    HWND page = NeedComponentsPage(dest);
    ok(Number(page, IDC_FREE_KB) == FreeKB(dest), "free %ld KB, drive E: has %lld", Number(page, IDC_FREE_KB),
       FreeKB(dest));
    for (int button : {IDC_COMPONENTS_NEXT, IDC_COMPONENTS_BACK}) {
        Click(page, button);
        Answer(MSG_LOW_DISK_SPACE, 2, page);
        ok(FindDialog(IDD_COMPONENTS) == page, "the page did not stay after answer 2 on %d", button);
    }
    Click(page, IDC_COMPONENTS_BACK);
    Answer(MSG_LOW_DISK_SPACE, 1, page);
    NeedGone(page);
    HWND destination = NeedDialog(IDD_DESTINATION);
    Click(destination, IDC_DEST_NEXT);
    page = NeedDialog(IDD_COMPONENTS);
    Click(page, IDC_COMPONENTS_NEXT);
    Answer(MSG_LOW_DISK_SPACE, 3, page);
    NeedGone(page);
    static const int none[1] = {0};
    DWORD code = NeedExitShowing(none, 0);
    ok(code == 0, "exit code %lu after answer 3, expected 0", code);
    ok(FilesUnder(dest).empty(), "files were installed after answer 3");

    SetCase("go on, disk full");
    page = NeedComponentsPage(dest);
    Click(page, IDC_COMPONENTS_NEXT);
    Answer(MSG_LOW_DISK_SPACE, 1, page);
    HWND box = NeedBox(MSG_COPY_FAILED);
    ok(Owner(box) == FindDialog(IDD_PROGRESS), "box 0 is not owned by the copy-progress page");
    Shot("disk-full");
    Press(box, 1);
    box = NeedBox(MSG_EXPAND_FAILED);
    Press(box, 3);
    NeedCopyStopped();
    ok(!FilesUnder(dest).empty(), "nothing was written to E: before it was full");

    // Exactly as much as is free, in KB as shown, passes; 1 KB more does
    // not.  The required bytes round to the nearest KB.
    for (uint32_t extra : {511u, 512u}) {
        SetCase(extra == 511 ? "just fits" : "1 KB too much");
        for (const std::string& name : FilesUnder(dest))
            RemoveFile(dest + "\\" + name);
        long long freeKB = FreeKB(dest);
        Distribution exact = {File("fit.dat", "fit.dat", kBaseComponent, (size_t)freeKB * 1024 + extra, kPlain)};
        WriteDisk("A:", exact, 0);
        page = NeedComponentsPage(dest);
        ok(Number(page, IDC_REQUIRED_KB) - Number(page, IDC_FREE_KB) == (extra == 511 ? 0 : 1),
           "%ld KB required, %ld free", Number(page, IDC_REQUIRED_KB), Number(page, IDC_FREE_KB));
        Click(page, IDC_COMPONENTS_BACK);
        if (extra == 512) {
            // Answer 3 on back ends the run at once.
            Answer(MSG_LOW_DISK_SPACE, 3, page);
            NeedGone(page);
            code = NeedExitShowing(none, 0);
            ok(code == 0, "exit code %lu after answer 3 on back, expected 0", code);
            continue;
        }
        NeedGone(page);
        HWND previous = NeedDialog(IDD_DESTINATION);
        Click(previous, IDCANCEL);
        Answer(MSG_CONFIRM_CANCEL, 1, previous);
        NeedExit();
    }

    // A line of the record that fits only in part: an earlier installation's
    // record in E:\Full ends 10 bytes short of its last page, and every
    // other page of E: is taken.  The code page's line (15 bytes), the
    // first Setup appends, is cut off where it began, and without a record
    // no entry is listed for the destination.
    SetCase("a line of the record cut off");
    for (const std::string& name : FilesUnder(dest))
        RemoveFile(dest + "\\" + name);
    const std::string full = "E:\\Full";
    MakeDirs(full);
    char signature[64];
    std::string record(signature, FormatRecordSignature(signature, sizeof signature));
    for (size_t left = 4096 - 10 - record.size(); left > 0;) {
        size_t line = left > 200 ? 200 : left;   // 14 bytes and a name
        record += "DIR\t" + full + "\\" + std::string(line - 14, 'd') + "\r\n";
        left -= line;
    }
    WriteBytes(full + "\\tvremove.log", record.data(), record.size());
    HANDLE filler = CreateFileA("E:\\filler", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    std::vector<char> chunk(65536, 'f');
    DWORD put = 0;
    for (DWORD size : {65536u, 4096u, 1u})
        while (WriteFile(filler, chunk.data(), size, &put, nullptr) && put == size) {
        }
    CloseHandle(filler);
    page = NeedComponentsPage(full);
    Click(page, IDC_COMPONENTS_NEXT);
    Answer(MSG_LOW_DISK_SPACE, 1, page);
    Press(NeedBox(MSG_COPY_FAILED), 1);
    Press(NeedBox(MSG_EXPAND_FAILED), 3);
    NeedCopyStopped();
    Bytes after;
    bool read = ReadBytes(full + "\\tvremove.log", &after);
    ok(read && after == Bytes(record.begin(), record.end()), "the record holds %u bytes, expected the earlier %u",
       (unsigned)after.size(), (unsigned)record.size());
    ok(EntriesFor(full).empty(), "Add/Remove Programs lists the installation that could not be recorded");
    RemoveFile("E:\\filler");
    SetCase(nullptr);
}

// The billboards over a floppy set of 10,000,000 bytes: every share is
// 2,000,000 bytes, just enough for all five to show in turn, left, right,
// left...  Box 9 between the disks (1, 2, 2, 2, 2 and 1 MB) holds the copy
// for a look at each.  Two disks hold different files of the same name.
void Billboards()
{
    static const int diskFiles[] = {2, 4, 4, 4, 4, 2};
    Distribution dist;
    char name[32];
    for (int disk = 1; disk <= 6; disk++) {
        for (int i = 0; i < diskFiles[disk - 1]; i++) {
            snprintf(name, sizeof name, "d%dpart%d.dat", disk, i);
            // The last file makes room for the two below: 10,000,000 in all.
            size_t size = disk == 6 && i == diskFiles[5] - 1 ? 497000 : 500000;
            dist.push_back(File(name, name, kBaseComponent, size, kPlain, disk));
        }
    }
    // One name on two disks, a different file on each.
    dist.push_back(File("same.da_", "first\\same.dat", kBaseComponent, 1000, kCompressed, 1));
    dist.push_back(File("same.da_", "second\\same.dat", kBaseComponent, 2000, kCompressed, 2));
    WriteFloppies(dist);
    StartCopy(NeedComponentsPage(kDest));
    HWND backdrop = Backdrop();
    for (int disk = 2; disk <= 6; disk++) {
        HWND box = NeedDiskBox(disk);
        int shown = disk - 2;   // the billboard on show: 0 to 4
        bool left = shown % 2 == 0;
        char shot[32];
        snprintf(shot, sizeof shot, "billboard%d-%s", shown + 1, left ? "left" : "right");
        Shot(shot);
        ok(BillboardSide(backdrop) == (left ? 'L' : 'R'), "billboard %d: frame on side %c, expected %s", shown + 1,
           BillboardSide(backdrop), left ? "L" : "R");
        if (disk == 2) {
            ShotBeside(box, "progress");
            ExpectBar(10);   // 1,000,000 of 10,000,000 bytes
        }
        ChangeDisk(DiskDir(disk));
        Press(box, 1);
    }
    NeedCopyFinished();
    ExpectInstalled(kDest, dist, ~0u);
}

// Box 10 about a file of dest: it names the target lower-cased, as the copy
// page shows it, belongs to the backdrop, and the copy-progress page stays
// in sight above the backdrop while it is up.
#define NeedFailedFileBox(path) NeedFailedFileBoxAt(__LINE__, (path))
HWND NeedFailedFileBoxAt(int line, const std::string& path)
{
    HWND box = NeedDialogAt(line, IDD_MESSAGE_BASE + MSG_EXPAND_FAILED, kWaitMs);
    std::string text = ControlText(box, IDC_MESSAGE_TEXT);
    OkAt(line, text.find(Lower(path)) != std::string::npos, "box 10 does not name %s lower-cased: \"%s\"",
         Lower(path).c_str(), text.c_str());
    OkAt(line, Owner(box) == Backdrop(), "box 10 is not owned by the backdrop");
    ExpectProgressOnTopAt(line);
    return box;
}

// A target that another program holds open (share mode 0) is not passed
// over: box 10 names it.  Ignore leaves the old file and installs the rest;
// retry asks again while it is held and installs it once it is free; abort
// stops the run.  A source on the disk held the same way is named by its
// target too.
void HeldTarget()
{
    static const struct {
        const char* name;
        std::vector<int> answers;   // to box 10, in turn; the file is let go before a last retry
        bool source;                // the disk's file is held, not the target
    } cases[] = {{"ignore", {2}, false}, {"retry", {1, 1}, false}, {"abort", {3}, false},
                 {"source-retry", {1, 1}, true}};
    const Distribution dist = {
        File("first.da_", "first.dat", kBaseComponent, 20000),
        File("busy.da_", "Sub\\Busy.Dat", kBaseComponent, 30000),
        File("last.dat", "last.dat", kBaseComponent, 20000, kPlain),
    };
    WriteDisk("A:", dist, 0);
    for (const auto& c : cases) {
        SetCase(c.name);
        const std::string dest = std::string(kDest) + "-" + c.name, busyPath = dest + "\\Sub\\Busy.Dat";
        MakeDirs(dest + "\\Sub");
        WriteBytes(busyPath, "old", 3);
        const char* held = c.source ? "A:\\busy.da_" : busyPath.c_str();
        HANDLE busy = CreateFileA(held, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ok(busy != INVALID_HANDLE_VALUE, "cannot hold %s open", held);
        StartCopy(NeedComponentsPage(dest));
        for (size_t i = 0; i < c.answers.size(); i++) {
            HWND box = NeedFailedFileBox(busyPath);
            ExpectProgressOnTop();
            if (i == 1 && !c.source) {
                Shot("box10");
                ShotBeside(box, "progress-under-box10");
            }
            if (i + 1 == c.answers.size() && c.answers[i] == 1) {
                CloseHandle(busy);
                busy = INVALID_HANDLE_VALUE;
            }
            Press(box, c.answers[i]);
        }
        if (busy != INVALID_HANDLE_VALUE)
            CloseHandle(busy);
        if (c.answers.back() == 3) {
            NeedCopyStopped();
        } else {
            NeedCopyFinished();
            if (c.answers.back() == 2) {
                ExpectBytes(busyPath, Bytes({'o', 'l', 'd'}));
                Distribution rest = {dist[0], dist[2]};
                RemoveFile(busyPath);
                ExpectInstalled(dest, rest, ~0u);
            } else {
                ExpectInstalled(dest, dist, ~0u);
            }
        }
    }
    SetCase(nullptr);
}

// A destination the installer cannot write into: a plain file where a
// directory of a target must go (CreateDirectoryPath fails), and a
// directory where a target file must go (the file cannot be created).  Box
// 10 names each; ignored, the rest installs; retried once the way is clear,
// the file installs.
void BlockedDestination()
{
    const Distribution dist = {
        File("first.da_", "first.dat", kBaseComponent, 20000),
        File("deep.da_", "Data\\Deep\\deep.dat", kBaseComponent, 30000),
        File("taken.dat", "taken.dat", kBaseComponent, 10000, kPlain),
    };
    WriteDisk("A:", dist, 0);
    for (int retry = 0; retry <= 1; retry++) {
        SetCase(retry ? "retry" : "ignore");
        const std::string dest = std::string(kDest) + (retry ? "-retry" : "-ignore");
        MakeDirs(dest + "\\taken.dat");                         // a directory in the target's place
        WriteBytes(dest + "\\Data", "not a directory", 15);    // a file in the directory's place
        StartCopy(NeedComponentsPage(dest));
        for (int blocked = 0; blocked < 2; blocked++) {
            HWND box = NeedDialog(IDD_MESSAGE_BASE + MSG_EXPAND_FAILED);
            std::string text = ControlText(box, IDC_MESSAGE_TEXT);
            bool deep = text.find(Lower(dest) + "\\data\\deep\\deep.dat") != std::string::npos;
            ok(deep || text.find(Lower(dest) + "\\taken.dat") != std::string::npos,
               "box 10 names neither blocked file: \"%s\"", text.c_str());
            if (retry) {
                if (deep)
                    RemoveFile(dest + "\\Data");
                else
                    ok(RemoveDirectoryA((dest + "\\taken.dat").c_str()) != 0, "cannot remove the taken.dat directory");
            }
            Press(box, retry ? 1 : 2);
        }
        NeedCopyFinished();
        if (retry) {
            ExpectInstalled(dest, dist, ~0u);
        } else {
            ok(DirExists((dest + "\\taken.dat").c_str()), "the taken.dat directory has gone");
            ExpectBytes(dest + "\\Data", Bytes({'n', 'o', 't', ' ', 'a', ' ', 'd', 'i', 'r', 'e', 'c', 't', 'o', 'r', 'y'}));
            ok(RemoveDirectoryA((dest + "\\taken.dat").c_str()) != 0, "cannot remove the taken.dat directory");
            RemoveFile(dest + "\\Data");
            ExpectInstalled(dest, Distribution({dist[0]}), ~0u);
        }
    }
    SetCase(nullptr);
}

// Writes total into the header of the catalogue at path.
void SetHeaderTotalAt(int line, const std::string& path, uint32_t total)
{
    Bytes bytes;
    if (!ReadBytes(path, &bytes) || bytes.size() < kCatalogueHeaderBytes)
        FailAt(line, "cannot read %s", path.c_str());
    WriteLE32(bytes.data() + 8, total);
    WriteBytesAt(line, path, bytes.data(), bytes.size());
}
#define SetHeaderTotal(path, total) SetHeaderTotalAt(__LINE__, (path), (total))

// A catalogue whose header total does not match its entries: the pages
// show the entries' sum and never a wrapped figure, and the copy ends when
// every selected file is installed, neither before nor after; no disk is
// asked for.  A file missing from the disk still brings box 9.
void CatalogueTotal()
{
    const Distribution dist = {
        File("base.da_", "base.dat", kBaseComponent, 40000),
        File("main1.da_", "main1.dat", 0x2, 300000),
        File("main2.dat", "main2.dat", 0x4, 120000, kPlain),
        File("opt.da_", "opt.dat", 0x100, 50000),
    };
    const uint32_t all = TotalBytes(dist, ~0u);
    static const struct {
        const char* name;
        uint32_t total;
        bool missing;   // main2.dat is not on the disk
    } cases[] = {
        {"too-large", 0xFFFFF000u, false},
        {"too-small", 1000, false},
        {"too-small-missing-file", 1000, true},
    };
    for (const auto& c : cases) {
        SetCase(c.name);
        WriteDisk("A:", dist, 0);
        SetHeaderTotal("A:\\setup.inf", c.total);
        if (c.missing)
            RemoveFile("A:\\main2.dat");
        const std::string dest = std::string(kDest) + "-" + c.name;
        HWND page = NeedComponentsPage(dest);
        ExpectKB(page, KB(all), "at first");
        Click(page, 10);   // main1 off
        Click(page, IDC_OPTIONAL_GROUP);
        ExpectKB(page, KB(all - 350000), "without main1 and the optional group");
        Click(page, 11);   // main2 off
        ExpectKB(page, KB(40000), "the base alone");
        Click(page, 11);
        ExpectKB(page, KB(160000), "the base and main2");
        StartCopy(page);
        if (c.missing) {
            HWND box = NeedDiskBox(2);
            ExpectInstalled(dest, Distribution({dist[0]}), ~0u);
            Press(box, 2);
            NeedCopyStopped();
        } else {
            NeedCopyFinished();
            ExpectInstalled(dest, dist, kBaseComponent | 0x4);
        }
    }
    SetCase(nullptr);
}

// "Keep" for one earlier installation, then back and another directory:
// the fresh directory gets its settings file, the kept one is untouched.
void KeepThenNewDirectory()
{
    const Distribution dist = {
        File("tovarin.ex_", "tovarin.exe", kBaseComponent, 40000),
        File("tovarin.tv_", "tovarin.tvs", kBaseComponent, 3000),
        File("readme.tx_", "readme.txt", kBaseComponent, 6000),
    };
    WriteDisk("A:", dist, 0);
    const std::string old = "C:\\Old\\Tovarin", fresh = "C:\\New\\Tovarin";
    const Bytes oldSettings = Content(98, 2345);
    MakeDirs(old);
    WriteBytes(old + "\\tovarin.exe", "MZ", 2);
    WriteBytes(old + "\\tovarin.tvs", oldSettings.data(), oldSettings.size());

    StartSetup("");
    HWND page = NeedDialog(IDD_EXISTING);
    ok(ListItems(page, IDC_FOUND_LIST) == std::vector<std::string>({old}), "the earlier installation is not listed");
    Click(page, IDC_INSTALL_OVER);
    Answer(MSG_KEEP_SETTINGS, 1, page);
    NeedGone(page);
    page = NeedDialog(IDD_COMPONENTS);
    Click(page, IDC_COMPONENTS_BACK);
    NeedGone(page);
    page = NeedDialog(IDD_EXISTING);
    Click(page, IDC_OTHER_DIRECTORY);
    NeedGone(page);
    page = NeedDialog(IDD_DESTINATION);
    SetText(page, IDC_DEST_EDIT, fresh.c_str());
    Click(page, IDC_DEST_NEXT);
    Answer(MSG_CREATE_DIR, 1, page);
    NeedGone(page);
    StartCopy(NeedDialog(IDD_COMPONENTS));
    NeedCopyFinished();
    ExpectInstalled(fresh, dist, ~0u);
    ExpectBytes(old + "\\tovarin.tvs", oldSettings);
    ExpectBytes(old + "\\tovarin.exe", Bytes({'M', 'Z'}));
    ok(FilesUnder(old).size() == 2, "%u files in %s, expected the 2 it had", (unsigned)FilesUnder(old).size(),
       old.c_str());
}

// A catalogue whose base component has no files: the components page keeps
// its texts enabled (only the check boxes of empty components are greyed).
void EmptyBase()
{
    const Distribution dist = {
        File("main1.da_", "main1.dat", 0x2, 30000),
        File("guide.hl_", "guide.hlp", kGuideComponent, 20000),
    };
    WriteDisk("A:", dist, 0);
    HWND page = NeedComponentsPage(kDest);
    int texts = 0;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") != 0)
            continue;
        texts++;
        ok(IsWindowEnabled(child), "static text %d \"%s\" is greyed", texts, Text(child).c_str());
    }
    ok(texts > 0, "the components page has no static texts");
    ok(Enabled(page, 10) && !Enabled(page, 11), "check box 10 should be enabled and 11 greyed");
    Shot("empty-base");
    StartCopy(page);
    NeedCopyFinished();
    ExpectInstalled(kDest, dist, ~0u);
}

// The indicator is painted again as it stands when it is uncovered: box 9
// holds the copy at 40 %, a window is moved over the indicator and away, and
// the bar is back at once.
void IndicatorUncovered()
{
    const Distribution dist = {
        File("one.dat", "one.dat", kBaseComponent, 400000, kPlain, 1),
        File("two.dat", "two.dat", kBaseComponent, 600000, kPlain, 2),
    };
    WriteFloppies(dist);
    StartCopy(NeedComponentsPage(kDest));
    HWND box = NeedDiskBox(2);
    HWND progress = NeedDialog(IDD_PROGRESS);
    RECT bar = WindowRect(Control(progress, IDC_PROGRESS_BAR));
    // The box itself may lie over the indicator: it is moved out of the way.
    RECT rect = WindowRect(box);
    SetWindowPos(box, nullptr, rect.left, GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top) - 60, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(300);
    ExpectBar(40);
    HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BLACKRECT,
                                 bar.left - 10, bar.top - 10, bar.right - bar.left + 20, bar.bottom - bar.top + 20,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ok(cover != nullptr, "cannot make a window to cover the indicator");
    for (int i = 0; i < 20; i++) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(20);
    }
    SetWindowPos(cover, nullptr, 0, GetSystemMetrics(SM_CYSCREEN) - 40, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(500);
    ExpectBar(40);
    DestroyWindow(cover);
    // Wine keeps the picture of a window that another window covered, but
    // not of the part that lay off the screen: the page goes half off the
    // left edge and comes back.
    RECT page = WindowRect(progress);
    SetWindowPos(progress, nullptr, -(page.right - page.left) / 2 - (bar.left - page.left), page.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(300);
    SetWindowPos(progress, nullptr, page.left, page.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(500);
    Shot("indicator-uncovered");
    ExpectBar(40);
    ChangeDisk(DiskDir(2));
    Press(box, 1);
    NeedCopyFinished();
    ExpectInstalled(kDest, dist, ~0u);
}

// ---- The sample distribution of "make dist" --------------------------------------------

// The distribution that a catalogue describes, with the expanded contents of
// its files from dirs (the first that holds a file).
Distribution ReadDistribution(const std::vector<std::string>& dirs)
{
    Bytes bytes;
    if (!ReadBytes(dirs[0] + "\\setup.inf", &bytes) || bytes.size() < kCatalogueHeaderBytes)
        fail("cannot read %s\\setup.inf", dirs[0].c_str());
    CatalogueHeader header;
    if (!DecodeCatalogueHeader(bytes.data(), &header) || CatalogueFileBytes(header.entryCount) > bytes.size())
        fail("%s\\setup.inf is not a catalogue", dirs[0].c_str());
    Distribution dist;
    for (uint32_t i = 0; i < header.entryCount; i++) {
        CatalogueEntry entry;
        if (!DecodeCatalogueEntry(bytes.data() + CatalogueFileBytes(i), &entry))
            fail("entry %u of setup.inf is malformed", i);
        DistFile f = {entry.sourceName, entry.targetPath, entry.componentMask, Bytes(), kPlain, 1};
        Bytes disk;
        for (size_t d = 0; d < dirs.size() && disk.empty(); d++) {
            if (ReadBytes(dirs[d] + "\\" + f.source, &disk))
                f.disk = (int)d + 1;
        }
        if (SzddHasMagic(disk.data(), disk.size())) {
            int result = SzddExpand(disk.data(), disk.size(), &f.content);
            ok(result == kSzddOk, "%s does not expand: %s", f.source.c_str(), SzddResultText(result));
        } else {
            f.content = disk;
        }
        ok(f.content.size() == entry.size, "%s gives %u bytes, the catalogue says %u", f.source.c_str(),
           (unsigned)f.content.size(), entry.size);
        dist.push_back(f);
    }
    return dist;
}

// The first main component that has files: the one to deselect.
int MainToDeselect(const Distribution& dist)
{
    for (int id = IDC_MAIN_FIRST; id <= IDC_MAIN_LAST; id++)
        if (TotalBytes(dist, ControlComponentBit(id)))
            return id;
    fail("the sample distribution has no main component with files");
}

// The sample distribution in one directory installs completely, without a
// main component and with the optional group off.
void SampleOnedir()
{
    const Distribution dist = ReadDistribution({"A:"});
    MakeDirs(kShellNew);
    const std::string dest = "C:\\Tovarin";
    HWND page = NeedComponentsPage(dest);
    int main = MainToDeselect(dist);
    Click(page, main);
    Click(page, IDC_OPTIONAL_GROUP);
    Trace("deselected check box %d and the optional group", main);
    StartCopy(page);
    NeedCopyFinished();
    ExpectInstalled(dest, dist, 0xFFFFF & ~ControlComponentBit(main) & ~(uint32_t)kOptionalComponents);
}

// The sample floppy set, disk by disk as box 9 asks for them.
void SampleFloppies()
{
    std::vector<std::string> dirs;
    for (int disk = 1; DirExists(("C:\\dist-floppies\\disk" + std::to_string(disk)).c_str()); disk++)
        dirs.push_back("C:\\dist-floppies\\disk" + std::to_string(disk));
    if (dirs.empty())
        fail("no C:\\dist-floppies\\disk1 (run-scenario copies build/dist/floppies there)");
    const Distribution dist = ReadDistribution(dirs);
    MakeDirs(kShellNew);
    ChangeDisk(dirs[0]);
    const std::string dest = "C:\\Tovarin";
    StartCopy(NeedComponentsPage(dest));
    for (size_t disk = 2; disk <= dirs.size(); disk++) {
        HWND box = NeedDiskBox((int)disk);
        ChangeDisk(dirs[disk - 1]);
        Press(box, 1);
    }
    NeedCopyFinished();
    ExpectInstalled(dest, dist, 0xFFFFF);
}

// ---- The sample distribution's disk images ----------------------------------------------

// A medium mounted read-only takes no new file.
void ExpectReadOnlyAt(int line, const std::string& root)
{
    std::string probe = root + "\\e2e-probe.tmp";
    HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        DeleteFileA(probe.c_str());
        FailAt(line, "%s takes new files: the medium is not mounted read-only", root.c_str());
    }
    Trace("%s is read-only (error %lu on a new file)", root.c_str(), GetLastError());
}
#define ExpectReadOnly(root) ExpectReadOnlyAt(__LINE__, (root))

// The expected files: the one-directory distribution that run-scenario
// copies to C:\dist-onedir.
Distribution OneDirDistribution()
{
    if (!FileExists("C:\\dist-onedir\\setup.inf"))
        fail("no C:\\dist-onedir\\setup.inf (run-scenario copies build/dist/onedir there)");
    return ReadDistribution({"C:\\dist-onedir"});
}

// The sample distribution from its floppy images (run-scenario copies
// images/1440 or images/dmf to C:\dist-images): A: is the image that the
// watcher mounts read-only with fusefat, the next one mounted where box 9
// asks for it.  Every file is installed with the contents of the
// one-directory distribution.
void SampleImages()
{
    std::vector<std::string> images;
    for (int disk = 1;; disk++) {
        std::string image = "C:\\dist-images\\disk" + std::to_string(disk) + ".img";
        if (!FileExists(image.c_str()))
            break;
        images.push_back(image);
    }
    if (images.empty())
        fail("no C:\\dist-images\\disk1.img (run-scenario copies the images there)");
    const Distribution dist = OneDirDistribution();
    MakeDirs(kShellNew);
    ChangeDisk(images[0]);
    ExpectReadOnly("A:");
    Bytes catalogue, reference;
    ok(ReadBytes("A:\\setup.inf", &catalogue) && ReadBytes("C:\\dist-onedir\\setup.inf", &reference) &&
           catalogue == reference,
       "A:\\setup.inf of %s is not the one directory's", images[0].c_str());
    const std::string dest = "C:\\Tovarin";
    StartCopy(NeedComponentsPage(dest));
    for (size_t disk = 2; disk <= images.size(); disk++) {
        HWND box = NeedDiskBox((int)disk);
        ChangeDisk(images[disk - 1]);
        Press(box, 1);
    }
    NeedCopyFinished();
    Trace("installed from %u images", (unsigned)images.size());
    ExpectInstalled(dest, dist, 0xFFFFF);
}

// The sample distribution from its CD-ROM image: R: is the image mounted
// read-only with fuseiso, typed "cdrom"; setup.exe starts from there.
void SampleCdrom()
{
    ok(GetDriveTypeA("R:\\") == DRIVE_CDROM, "R: is of drive type %u, not a CD-ROM", GetDriveTypeA("R:\\"));
    const Distribution dist = OneDirDistribution();
    ExpectReadOnly("R:");
    MakeDirs(kShellNew);
    const std::string dest = "C:\\Tovarin";
    StartCopy(NeedComponentsPage(dest, "R:\\setup.exe"));
    NeedCopyFinished();
    ExpectInstalled(dest, dist, 0xFFFFF);
}

// ---- Interrupted copies --------------------------------------------------------------

const char kEarlier[] = "C:\\Tovarin";

// The files of a temporary pattern that an interrupted run may leave, and
// that the next run clears.
bool IsTemporaryName(const std::string& path)
{
    std::string name = Lower(path.substr(path.find_last_of('\\') + 1));
    bool newContents = name.size() == 11 && name.compare(0, 3, "~tv") == 0 && name.compare(7, 4, ".tmp") == 0 &&
                       name.find_first_not_of("0123456789abcdef", 3) == 7;
    bool setAside = name.size() > 4 && name.compare(name.size() - 4, 4, ".~tv") == 0;
    return newContents || setAside;
}

std::vector<std::string> TemporaryFilesUnder(const std::string& dir)
{
    std::vector<std::string> found;
    for (const std::string& name : FilesUnder(dir))
        if (IsTemporaryName(name))
            found.push_back(name);
    return found;
}

} // namespace

HWND NeedComponentsOverAt(int line, const std::string& dir, int keepAnswer)
{
    StartSetupAt(line, "A:\\setup.exe", "", -1);
    HWND answered = nullptr;   // a page already left: the settings question may follow it
    for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
        if (HWND box = FindDialog(IDD_MESSAGE_BASE + MSG_KEEP_SETTINGS)) {
            Press(box, keepAnswer);
        } else if (HWND page = FindDialog(IDD_COMPONENTS)) {
            return page;
        } else if (HWND existing = FindDialog(IDD_EXISTING)) {
            if (existing != answered) {
                std::vector<std::string> items = ListItems(existing, IDC_FOUND_LIST);
                auto at = std::find_if(items.begin(), items.end(),
                                       [&](const std::string& item) { return Lower(item) == Lower(dir); });
                if (at == items.end()) {
                    ClickAt(line, existing, IDC_OTHER_DIRECTORY);
                } else {
                    SelectListItemAt(line, existing, IDC_FOUND_LIST, (int)(at - items.begin()));
                    ClickAt(line, existing, IDC_INSTALL_OVER);
                }
                answered = existing;
            }
        } else if (HWND destination = FindDialog(IDD_DESTINATION)) {
            if (destination != answered) {
                SetTextAt(line, destination, IDC_DEST_EDIT, dir.c_str());
                ClickAt(line, destination, IDC_DEST_NEXT);
                answered = destination;
            }
        }
        if (!SetupRunning() || GetTickCount() - start > kWaitMs)
            FailAt(line, "the components page did not come");
    }
}

namespace {

// Every file that the catalogue names under dir is absent, the earlier
// installation's or the new one, whole; nothing else lies there but
// temporary files.  Returns how many files are new.
int ExpectOldOrNewAt(int line, const std::string& dir, const Distribution& earlier, const Distribution& dist)
{
    int fresh = 0;
    std::vector<std::string> names;
    for (size_t i = 0; i < dist.size(); i++) {
        const std::string path = dir + "\\" + dist[i].target;
        names.push_back(Lower(dist[i].target));
        Bytes got;
        if (!ReadBytes(path, &got)) {
            // Absent is whole too, but the settings file must be there in
            // one form or the other: an earlier one only set aside counts.
            bool aside = FileExists((path + ".~tv").c_str());
            OkAt(line, i < earlier.size() ? aside : true, "%s is gone%s", path.c_str(),
                 aside ? " (set aside)" : " and no earlier copy is left");
            continue;
        }
        bool isNew = got == dist[i].content;
        bool isOld = i < earlier.size() && got == earlier[i].content;
        OkAt(line, isNew || isOld, "%s holds %u bytes, neither the earlier file (%u) nor the new one (%u)",
             path.c_str(), (unsigned)got.size(), i < earlier.size() ? (unsigned)earlier[i].content.size() : 0u,
             (unsigned)dist[i].content.size());
        fresh += isNew;
    }
    for (const std::string& name : FilesUnder(dir))
        OkAt(line, IsTemporaryName(name) || IsSetupOwnFile(name) || std::count(names.begin(), names.end(), Lower(name)) > 0,
             "%s\\%s does not belong to the installation", dir.c_str(), name.c_str());
    return fresh;
}
#define ExpectOldOrNew(dir, earlier, dist) ExpectOldOrNewAt(__LINE__, (dir), (earlier), (dist))

// The seed of the kill moments: E2E_SEED replays a run.
uint32_t KillSeed()
{
    const char* given = getenv("E2E_SEED");
    uint32_t seed = given && *given ? (uint32_t)strtoul(given, nullptr, 10) : (uint32_t)GetTickCount();
    Trace("kill seed %u (E2E_SEED=%u replays these moments)", seed, seed);
    return seed;
}

// setup.exe killed at seeded moments of a copy of a few large files over an
// earlier installation, in NT and in Windows 95 mode: after each kill every
// file is absent, the earlier one or the new one, whole, and the settings
// file is one of its two versions.  Then a run to the end installs every
// file and leaves no temporary file.  The moments are spread over the
// copy: kill k of n falls in the k-th n-th of a copy time measured first.
void KilledCopy()
{
    const Distribution dist = {
        File("tovarin.ex_", "tovarin.exe", kBaseComponent, 3000000),
        File("tovarin.tvs", "tovarin.tvs", kBaseComponent, 400000, kPlain),
        File("words.da_", "words.dat", kBaseComponent, 4000000),
        File("pictures.dat", "pictures.dat", kBaseComponent, 5000000, kPlain),
        File("guide.hl_", "GUIDE\\guide.hlp", kBaseComponent, 3000000),
        File("new.dat", "new.dat", kBaseComponent, 2000000, kPlain),   // not in the earlier installation
    };
    // The earlier installation: the same files but the last, other bytes.
    Distribution earlier;
    for (size_t i = 0; i + 1 < dist.size(); i++)
        earlier.push_back(File(dist[i].source.c_str(), dist[i].target.c_str(), kBaseComponent,
                               dist[i].content.size() * 3 / 4 + 1000, kPlain));
    WriteDisk("A:", dist, 0);
    // Each kill starts from the earlier installation; what a kill leaves
    // of temporary files stays for the next run to clear.
    auto restoreEarlier = [&] {
        for (const DistFile& f : earlier) {
            MakeDirs(std::string(kEarlier) + "\\GUIDE");
            WriteBytes(std::string(kEarlier) + "\\" + f.target, f.content.data(), f.content.size());
        }
        DeleteFileA((std::string(kEarlier) + "\\" + dist.back().target).c_str());
    };
    restoreEarlier();

    // The copy time, measured over a copy of the earlier installation.
    const std::string measure = "C:\\Measure";
    for (const DistFile& f : earlier) {
        MakeDirs(measure + "\\GUIDE");
        WriteBytes(measure + "\\" + f.target, f.content.data(), f.content.size());
    }
    HWND page = NeedComponentsOver(measure, 2);
    DWORD started = GetTickCount();
    StartCopy(page);
    HWND progress = NeedDialog(IDD_PROGRESS);
    while (IsWindow(progress) && IsWindowVisible(progress) && GetTickCount() - started < (DWORD)kWaitMs)
        Sleep(1);
    DWORD copyMs = GetTickCount() - started;
    KillSetup();
    ok(ExpectOldOrNew(measure, earlier, dist) == (int)dist.size(), "the measuring run did not install every file");
    for (const std::string& name : FilesUnder(measure))
        RemoveFile(measure + "\\" + name);
    RemoveDirectoryA((measure + "\\GUIDE").c_str());
    RemoveDirectoryA(measure.c_str());
    Trace("the copy takes %lu ms", copyMs);

    uint32_t x = KillSeed();
    const int kills = 8;
    for (int k = 0; k < kills; k++) {
        // The first half in NT mode, the second in Windows 95 mode, whose
        // replace sets the earlier file aside.
        const char* mode = k < kills / 2 ? "nt40" : "win95";
        char label[48];
        snprintf(label, sizeof label, "kill %d of %d, %s", k + 1, kills, mode);
        SetCase(label);
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)mode, (DWORD)strlen(mode) + 1);
            RegCloseKey(key);
        }
        x = x * 1103515245u + 12345u;
        int slot = k % (kills / 2);
        DWORD at = (DWORD)((slot + ((x >> 8) % 1000) / 1000.0) * copyMs / (kills / 2));
        restoreEarlier();
        page = NeedComponentsOver(kEarlier, (k % 3) ? 2 : 1);
        StartCopy(page);
        Sleep(at);
        bool finished = FindDialog(IDD_GROUP) != nullptr;
        KillSetup();
        int fresh = ExpectOldOrNew(kEarlier, earlier, dist);
        Trace("killed %lu ms into the copy%s: %d of %u files new, %u temporary files", at,
              finished ? " (after it had ended)" : "", fresh, (unsigned)dist.size(),
              (unsigned)TemporaryFilesUnder(kEarlier).size());
    }

    SetCase("run to the end");
    StartCopy(NeedComponentsOver(kEarlier, 2));
    NeedCopyFinished();
    ok(ExpectOldOrNew(kEarlier, earlier, dist) == (int)dist.size(), "not every file is new after a whole run");
    std::vector<std::string> left = TemporaryFilesUnder(kEarlier);
    ok(left.empty(), "%u temporary files are left, the first %s", (unsigned)left.size(),
       left.empty() ? "" : left[0].c_str());
    SetCase(nullptr);
}

// A source file cut off in its middle (SZDD has no checksum: a cut file is
// what a bad sector looks like to the expander) over an earlier
// installation: answered with Ignore or Abort, the earlier file is left
// whole as it was and no temporary file stays.
void CutSource()
{
    static const struct {
        const char* name;
        int answer;   // to box 10
    } cases[] = {{"ignore", 2}, {"abort", 3}};
    const Distribution dist = {
        File("first.da_", "first.dat", kBaseComponent, 150000),
        File("tovarin.ex_", "tovarin.exe", kBaseComponent, 450000, kDamaged),
        File("last.da_", "last.dat", kBaseComponent, 150000),
    };
    WriteDisk("A:", dist, 0);
    const Bytes earlier = Content(99, 330000);
    for (const auto& c : cases) {
        SetCase(c.name);
        const std::string dest = std::string(kDest) + "-" + c.name;
        MakeDirs(dest);
        WriteBytes(dest + "\\tovarin.exe", earlier.data(), earlier.size());
        HWND page = NeedComponentsOver(dest, 2);
        StartCopy(page);
        HWND box = NeedFailedFileBox(dest + "\\tovarin.exe");
        Press(box, c.answer);
        if (c.answer == 2)
            NeedCopyFinished();
        else
            NeedCopyStopped();
        ExpectBytes(dest + "\\tovarin.exe", earlier);
        std::vector<std::string> left = TemporaryFilesUnder(dest);
        ok(left.empty(), "%u temporary files are left after box 10", (unsigned)left.size());
    }
    SetCase(nullptr);
}

// Box 9 answered OK with the drive empty or a blank floppy in it asks for
// the same disk again instead of ending the run; the right disk then goes on.
void EmptyDrive()
{
    const Distribution dist = {
        File("one.da_", "one.dat", kBaseComponent, 30000, kCompressed, 1),
        File("two.da_", "two.dat", kBaseComponent, 25000, kCompressed, 2),
    };
    WriteFloppies(dist);
    MakeDirs("C:\\blank");
    StartCopy(NeedComponentsPage(kDest));
    HWND box = NeedDiskBox(2);
    for (const char* disk : {"C:\\no-disk-here", "C:\\blank"}) {
        SetCase(disk);
        ChangeDisk(disk);
        Press(box, 1);
        box = NeedDiskBox(2);
    }
    SetCase(nullptr);
    ChangeDisk(DiskDir(2));
    Press(box, 1);
    NeedCopyFinished();
    ExpectInstalled(kDest, dist, ~0u);
}

} // namespace

const Scenario kCopyScenarios[] = {
    {"components-page", ComponentsPage},
    {"odd-distribution", OddDistribution},
    {"long-source-dir", LongSourceDir},
    {"long-target", LongTarget},
    {"keep-settings", KeepSettings},
    {"damaged-file", DamagedFile},
    {"floppies", Floppies},
    {"cancel-copy", CancelCopy},
    {"small-drive", SmallDrive},
    {"billboards", Billboards},
    {"held-target", HeldTarget},
    {"blocked-destination", BlockedDestination},
    {"catalogue-total", CatalogueTotal},
    {"keep-then-new-directory", KeepThenNewDirectory},
    {"empty-base", EmptyBase},
    {"indicator-uncovered", IndicatorUncovered},
    {"sample-onedir", SampleOnedir},
    {"sample-floppies", SampleFloppies},
    {"sample-images-1440", SampleImages},
    {"sample-images-dmf", SampleImages},
    {"sample-cdrom", SampleCdrom},
    {"killed-copy", KilledCopy},
    {"cut-source", CutSource},
    {"empty-drive", EmptyDrive},
    {nullptr, nullptr},
};
