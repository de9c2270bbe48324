// The end-to-end scenarios: each prepares its files in the prefix, starts
// A:\setup.exe and drives it like a user.  Every scenario runs in a fresh
// copy of the template prefix (see tests/e2e/run-scenario).
#include "tests/e2e/driver/scenarios.h"

#include <stdint.h>
#include <string.h>

#include "catalogue/catfile.h"
#include "resources/resource.h"
#include "tests/e2e/driver/driver.h"

namespace {

typedef std::vector<uint8_t> Bytes;

const char kCataloguePath[] = "A:\\setup.inf";

// A small distribution: what a real catalogue of the first disk holds.
const CatalogueRecord kSampleRecords[] = {
    {"tovarin.ex_", "tovarin.exe", kBaseComponent, 184320},
    {"tovarin.dl_", "tovarin.dll", kBaseComponent, 96256},
    {"readme.wr_", "readme.wri", 0x2, 12800},
    {"guide.hl_", "guide\\guide.hlp", kGuideComponent, 65536},
    {"clipart.ca_", "clipart\\clipart.cat", 0x100, 40960},
};
const uint32_t kSampleCount = sizeof kSampleRecords / sizeof kSampleRecords[0];

Bytes SampleCatalogue()
{
    Bytes bytes((size_t)CatalogueFileBytes(kSampleCount));
    uint64_t written = EncodeCatalogue(kSampleRecords, kSampleCount, bytes.data(), bytes.size());
    ok(written == bytes.size(), "the sample catalogue does not encode (%llu bytes)", (unsigned long long)written);
    return bytes;
}

void WriteCatalogue(const Bytes& bytes)
{
    WriteBytes(kCataloguePath, bytes.data(), bytes.size());
}

void WriteSampleCatalogue()
{
    WriteCatalogue(SampleCatalogue());
}

// An earlier installation: the installed executable in dir (made if needed).
void PlaceInstallation(const std::string& dir, const char* fileName = "tovarin.exe")
{
    MakeDirs(dir);
    std::string path = dir + (EndsInBackslash(dir) ? "" : "\\") + fileName;
    WriteBytes(path, "MZ", 2);
}

const int kQuietDialogs[] = {IDD_PLEASE_WAIT};

// ---- Steps shared by the scenarios --------------------------------------------

// Checks that page and its panel are up, placed and owned as the wizard
// puts them, and takes a screenshot named after the page; returns the page.
HWND NeedPageAt(int line, int pageId, int panelId, const char* shotName)
{
    HWND page = NeedDialogAt(line, pageId, kWaitMs);
    HWND backdrop = FindSetupWindow("ORV_DSKINSTALL");
    OkAt(line, backdrop != nullptr, "no backdrop window while page %d is up", pageId);
    OkAt(line, Owner(page) == backdrop, "page %d is not owned by the backdrop", pageId);
    ExpectPlacedAt(line, page, 1);
    HWND panel = NeedDialogAt(line, panelId, 5000);
    OkAt(line, Owner(panel) == backdrop, "panel %d is not owned by the backdrop", panelId);
    ExpectPlacedAt(line, panel, 2);
    Shot(shotName);
    return page;
}
#define NeedDestinationPage() NeedPageAt(__LINE__, IDD_DESTINATION, IDD_PANEL_DESTINATION, "destination")
#define NeedExistingPage() NeedPageAt(__LINE__, IDD_EXISTING, IDD_PANEL_EXISTING, "existing")


// Where the scenarios of the destination stop once it is settled: the
// components page comes next, and a confirmed cancel there ends the run.
void NeedDestinationSettledAt(int line, HWND endedPage)
{
    NeedGoneAt(line, endedPage);
    HWND components = NeedDialogAt(line, IDD_COMPONENTS, kWaitMs);
    CancelSetupAt(line, components);
}
#define NeedDestinationSettled(page) NeedDestinationSettledAt(__LINE__, (page))

// Polls a condition for up to 5 s: for states that setup.exe reaches only
// after it has handled what the driver posted.
template <typename Condition>
bool Soon(Condition condition)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(kPollMs)) {
        if (condition())
            return true;
    }
    return condition();
}

std::string Join(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "\"" : ", \"") + item + "\"";
    return "{" + out + "}";
}

// A path of exactly length characters under root, made of short names.
std::string DeepPath(const std::string& root, size_t length)
{
    std::string path = root;
    int n = 0;
    while (path.size() < length) {
        char part[32];
        snprintf(part, sizeof part, "\\level%02d-tovarin-deep", n++);
        path += part;
    }
    path.resize(length);
    if (path.back() == '\\')
        path.back() = 'x';
    return path;
}

// ---- Scenarios ------------------------------------------------------------------

// The backdrop covers the screen but for 50 pixels on every side; the
// please-wait page shows while the catalogue is read and the drives are
// searched.
void Backdrop()
{
    WriteSampleCatalogue();
    StartSetup("");
    HWND wait = NeedDialog(IDD_PLEASE_WAIT);
    ExpectPlaced(wait, 1);
    HWND backdrop = FindSetupWindow("ORV_DSKINSTALL");
    if (!backdrop)
        fail("no top-level window of class ORV_DSKINSTALL");
    ok(Owner(wait) == backdrop, "the please-wait page is owned by %p, not by the backdrop %p",
       (void*)Owner(wait), (void*)backdrop);
    RECT rect = WindowRect(backdrop);
    ok(rect.left == 50 && rect.top == 50 && rect.right == 974 && rect.bottom == 718,
       "backdrop at (%ld, %ld, %ld, %ld), expected (50, 50, 974, 718)", rect.left, rect.top, rect.right,
       rect.bottom);
    LONG style = GetWindowLongA(backdrop, GWL_STYLE);
    ok((style & (WS_POPUP | WS_THICKFRAME)) == (WS_POPUP | WS_THICKFRAME) && !(style & WS_CAPTION),
       "backdrop style 0x%lx, expected a popup with a sizing border and no caption", style);
    ok(IsWindowVisible(backdrop), "the backdrop is not visible");
    // The page paints just after it shows; the catalogue reader then pauses
    // for a second, in which the page stands still for its picture.
    Sleep(150);
    ShotNow("please-wait");

    HWND page = NeedDestinationPage();
    ok(FindDialog(IDD_PLEASE_WAIT) == nullptr, "the please-wait page is still up beside page 3");
    rect = WindowRect(backdrop);
    ok(rect.left == 50 && rect.top == 50 && rect.right == 974 && rect.bottom == 718,
       "the backdrop moved to (%ld, %ld, %ld, %ld)", rect.left, rect.top, rect.right, rect.bottom);
    CancelSetup(page);
}

// Started with arguments, the program behaves as without them.
void Arguments()
{
    WriteSampleCatalogue();
    StartSetup("/s /q C:\\x \"quoted arg\" -h");
    HWND page = NeedDestinationPage();
    ok(ControlText(page, IDC_DEST_EDIT).empty(), "the destination field holds \"%s\"",
       ControlText(page, IDC_DEST_EDIT).c_str());
    ok(!Enabled(page, IDC_DEST_NEXT), "next is enabled on an empty field");
    SetText(page, IDC_DEST_EDIT, "D:\\");
    Click(page, IDC_DEST_NEXT);
    NeedDestinationSettled(page);
    ok(!DirExists("C:\\x"), "C:\\x was created from the command line");
}

// A catalogue that cannot be read ends the program after the please-wait
// page with box 11, which says whether setup.inf is missing or damaged; a
// catalogue naming a file outside the destination, or a source that is no
// bare file name, is a damaged one: nothing of it is installed.
void BadCatalogues()
{
    const char kMissing[] = "cannot find or open SETUP.INF";
    const char kDamaged[] = "SETUP.INF, the list of the files to install, is damaged";
    // The target or source name of entry 1 (of 5) replaced.
    auto target = [](Bytes* b, const char* path) {
        memset(b->data() + CatalogueFileBytes(1) + kCatalogueNameBytes, 0, kCatalogueNameBytes);
        memcpy(b->data() + CatalogueFileBytes(1) + kCatalogueNameBytes, path, strlen(path));
    };
    auto source = [](Bytes* b, const char* name) {
        memset(b->data() + CatalogueFileBytes(1), 0, kCatalogueNameBytes);
        memcpy(b->data() + CatalogueFileBytes(1), name, strlen(name));
    };
    struct Case {
        const char* name;
        void (*make)(Bytes* bytes);      // null: no setup.inf at all
        bool missing;
    };
    static const Case cases[] = {
        {"missing", nullptr, true},
        {"empty", [](Bytes* b) { b->clear(); }, false},
        {"header cut at 10 bytes", [](Bytes* b) { b->resize(10); }, false},
        {"signature 0x101", [](Bytes* b) { WriteLE32(b->data(), 0x101); }, false},
        {"entry count 0", [](Bytes* b) { WriteLE32(b->data() + 4, 0); }, false},
        {"entry count 0xFFFFFFFF", [](Bytes* b) { WriteLE32(b->data() + 4, 0xFFFFFFFFu); }, false},
        {"count 5, two entries", [](Bytes* b) {
             b->resize((size_t)CatalogueFileBytes(2));
             WriteLE32(b->data() + 4, 5);
         }, false},
        {"last entry cut short", [](Bytes* b) { b->resize(b->size() - 400); }, false},
        {"source name without NUL", [](Bytes* b) {
             memset(b->data() + CatalogueFileBytes(1), 'S', kCatalogueNameBytes);
         }, false},
        {"target path without NUL", [](Bytes* b) {
             memset(b->data() + CatalogueFileBytes(2) + kCatalogueNameBytes, 'T', kCatalogueNameBytes);
         }, false},
    };
    static const struct {
        const char* name;
        const char* text;
        bool isTarget;
    } unsafe[] = {
        {"target ..\\..\\WINDOWS\\WIN.INI", "..\\..\\WINDOWS\\WIN.INI", true},
        {"target \\WINDOWS\\WIN.INI", "\\WINDOWS\\WIN.INI", true},
        {"target C:\\WINDOWS\\WIN.INI", "C:\\WINDOWS\\WIN.INI", true},
        {"target guide/guide.hlp", "guide/guide.hlp", true},
        {"empty target", "", true},
        {"target guide\\\\guide.hlp", "guide\\\\guide.hlp", true},
        {"source ..\\tovarin.dl_", "..\\tovarin.dl_", false},
    };
    Bytes winIni;
    ReadBytes("C:\\windows\\win.ini", &winIni);
    auto run = [&](const char* name, const Bytes* bytes, bool missing, const char* shot) {
        SetCase(name);
        if (bytes)
            WriteCatalogue(*bytes);
        else
            RemoveFile(kCataloguePath);
        StartSetup("");
        HWND box = NeedDialog(IDD_MESSAGE_BASE + MSG_RUN_STOPPED);
        ok(FindDialog(IDD_PLEASE_WAIT) == nullptr, "the please-wait page is still up beside box 11");
        ok(Text(box) == "Tovarin Setup", "box 11 is captioned \"%s\"", Text(box).c_str());
        NeedRunStopped(missing ? kMissing : kDamaged, shot);
    };
    for (const Case& c : cases) {
        Bytes bytes = SampleCatalogue();
        if (c.make)
            c.make(&bytes);
        run(c.name, c.make ? &bytes : nullptr, c.missing, c.make ? nullptr : "missing");
    }
    for (const auto& u : unsafe) {
        Bytes bytes = SampleCatalogue();
        if (u.isTarget)
            target(&bytes, u.text);
        else
            source(&bytes, u.text);
        run(u.name, &bytes, false, &u == unsafe ? "unsafe-target" : nullptr);
        Bytes after;
        ReadBytes("C:\\windows\\win.ini", &after);
        ok(after == winIni, "WIN.INI changed");
    }
    SetCase(nullptr);
}

// No earlier installation: the destination page comes first, empty, with
// next disabled until something is typed and back hidden.
void NoInstallation()
{
    WriteSampleCatalogue();
    StartSetup("");
    HWND page = NeedDestinationPage();
    ExpectNoDialog(IDD_EXISTING);
    ok(ControlText(page, IDC_DEST_EDIT).empty(), "the destination field holds \"%s\"",
       ControlText(page, IDC_DEST_EDIT).c_str());
    ok(Visible(page, IDC_DEST_NEXT) && !Enabled(page, IDC_DEST_NEXT), "next is not shown disabled");
    ok(!Visible(page, IDC_DEST_BACK), "back is shown without an earlier installation");
    ok(Visible(page, IDCANCEL) && Enabled(page, IDCANCEL), "cancel is not available");

    Type(page, IDC_DEST_EDIT, "C");
    ok(Enabled(page, IDC_DEST_NEXT), "next stays disabled after typing a character");
    Type(page, IDC_DEST_EDIT, "\b");
    ok(ControlText(page, IDC_DEST_EDIT).empty(), "the field is not empty after a backspace");
    ok(!Enabled(page, IDC_DEST_NEXT), "next stays enabled on an empty field");
    SetText(page, IDC_DEST_EDIT, "C:\\Tovarin");
    ok(Enabled(page, IDC_DEST_NEXT), "next stays disabled after pasting a path");
    Shot("destination-typed");
    SetText(page, IDC_DEST_EDIT, "");
    ok(!Enabled(page, IDC_DEST_NEXT), "next stays enabled after clearing the field");
    CancelSetup(page);
}

// A missing destination is created on request, every level of it; declining
// leaves the page as it was.
void DestinationMissing()
{
    const char* path = "C:\\Program Files\\Tovarin\\Sub";
    WriteSampleCatalogue();
    ok(!DirExists("C:\\Program Files\\Tovarin"), "C:\\Program Files\\Tovarin exists before the run");
    StartSetup("");
    HWND page = NeedDestinationPage();
    SetText(page, IDC_DEST_EDIT, path);
    Click(page, IDC_DEST_NEXT);
    NeedDialog(IDD_MESSAGE_BASE + MSG_CREATE_DIR);
    Shot("create-directory");
    Answer(MSG_CREATE_DIR, 2, page);
    ok(FindDialog(IDD_DESTINATION) == page, "page 3 did not stay after declining to create");
    ok(ControlText(page, IDC_DEST_EDIT) == path, "the field changed to \"%s\"",
       ControlText(page, IDC_DEST_EDIT).c_str());
    ok(!DirExists("C:\\Program Files\\Tovarin"), "a directory was created although declined");

    Click(page, IDC_DEST_NEXT);
    Answer(MSG_CREATE_DIR, 1, page);
    NeedDestinationSettled(page);
    ok(DirExists(path), "%s was not created", path);
}

// A file in the place of the destination: the directory cannot be made.
void DestinationIsFile()
{
    WriteSampleCatalogue();
    WriteBytes("C:\\blocked", "x", 1);
    StartSetup("");
    HWND page = NeedDestinationPage();
    SetText(page, IDC_DEST_EDIT, "C:\\blocked");
    Click(page, IDC_DEST_NEXT);
    Answer(MSG_CREATE_DIR, 1, page);
    NeedDialog(IDD_MESSAGE_BASE + MSG_CANNOT_CREATE_DIR);
    Shot("cannot-create");
    Answer(MSG_CANNOT_CREATE_DIR, 1, page);
    ok(FindDialog(IDD_DESTINATION) == page, "page 3 did not stay after message box 3");
    HWND edit = Control(page, IDC_DEST_EDIT);
    ok(Soon([&] { return FocusOfSetup() == edit; }), "the focus is on %p, not on the edit control %p",
       (void*)FocusOfSetup(), (void*)edit);
    DWORD start = 0, end = 0;
    EditSelection(page, IDC_DEST_EDIT, &start, &end);
    ok(start == 0 && end == strlen("C:\\blocked"), "selection %lu..%lu, expected the whole text", start, end);
    ok(FileExists("C:\\blocked"), "C:\\blocked is no longer a file");
    Shot("after-cannot-create");
    CancelSetup(page);
}

// What is no full path on a drive gets box 12, which says what is wrong;
// the page stays with the text selected, and nothing is created.
void DestinationNotFull()
{
    static const struct {
        const char* typed;
        const char* says;
    } cases[] = {
        {"Tovarin", "full path"},
        {"\\Tovarin", "full path"},
        {"C:Tovarin", "full path"},
        {"\\\\server\\share\\Tovarin", "network paths"},
        {"C:\\Tovarin\\a*b", "cannot contain"},
        {"C:\\Tovarin\\a:b", "cannot contain"},
        {"C:\\Tovarin\\\"new\"", "cannot contain"},
        {"C:\\Tovarin/new", "cannot contain"},
        // A device: its whole form is "\\.\con", no directory on a drive.
        {"C:\\Tovarin\\con", "full path"},
    };
    WriteSampleCatalogue();
    StartSetup("");
    HWND page = NeedDestinationPage();
    HWND edit = Control(page, IDC_DEST_EDIT);
    for (const auto& c : cases) {
        SetCase(c.typed);
        SetText(page, IDC_DEST_EDIT, c.typed);
        Click(page, IDC_DEST_NEXT);
        HWND box = NeedDialog(IDD_MESSAGE_BASE + MSG_BAD_DESTINATION);
        std::string text = ControlText(box, IDC_MESSAGE_TEXT);
        ok(text.find(c.says) != std::string::npos, "box 12 says \"%s\", expected \"%s\" in it", text.c_str(), c.says);
        if (&c == cases || &c == cases + 3 || &c == cases + 4)
            Shot("box-12");
        Answer(MSG_BAD_DESTINATION, 1, page);
        ExpectNoDialog(IDD_MESSAGE_BASE + MSG_CREATE_DIR);
        ok(FindDialog(IDD_DESTINATION) == page, "page 3 did not stay after box 12");
        ok(ControlText(page, IDC_DEST_EDIT) == c.typed, "the field changed to \"%s\"",
           ControlText(page, IDC_DEST_EDIT).c_str());
        ok(Soon([&] { return FocusOfSetup() == edit; }), "the focus is not on the edit control");
        DWORD start = 0, end = 0;
        EditSelection(page, IDC_DEST_EDIT, &start, &end);
        ok(start == 0 && end == strlen(c.typed), "selection %lu..%lu, expected the whole text", start, end);
    }
    SetCase(nullptr);
    for (const char* dir : {"A:\\Tovarin", "C:\\Tovarin", "D:\\Tovarin"})
        ok(!DirExists(dir), "%s was created", dir);
    SetText(page, IDC_DEST_EDIT, "D:\\");
    Click(page, IDC_DEST_NEXT);
    NeedDestinationSettled(page);
}

// Next makes what was typed whole and puts it in the field, and so into
// everything after the page: Back from the components page shows the one
// spelling that the record, the registry and the group use.  Doubled
// backslashes, "." and ".." parts, trailing dots, blanks and backslashes
// go; a drive's root keeps its backslash.
void DestinationWhole()
{
    static const struct {
        const char* typed;
        const char* whole;
    } cases[] = {
        {"C:\\Tovarin\\\\App", "C:\\Tovarin\\App"},
        {"C:\\Tovarin\\.\\App\\..\\App", "C:\\Tovarin\\App"},
        {"C:\\Tovarin\\App. . ", "C:\\Tovarin\\App"},
        {"C:\\Tovarin\\App\\", "C:\\Tovarin\\App"},
        {"C:\\Tovarin\\App\\..\\..\\..\\Tovarin\\App", "C:\\Tovarin\\App"},
        {"D:\\", "D:\\"},
    };
    WriteSampleCatalogue();
    MakeDirs("C:\\Tovarin\\App");
    StartSetup("");
    HWND page = NeedDestinationPage();
    for (const auto& c : cases) {
        SetCase(c.typed);
        SetText(page, IDC_DEST_EDIT, c.typed);
        Click(page, IDC_DEST_NEXT);
        NeedGone(page);
        HWND components = NeedDialog(IDD_COMPONENTS);
        Click(components, IDC_COMPONENTS_BACK);
        NeedGone(components);
        page = NeedDestinationPage();
        ok(ControlText(page, IDC_DEST_EDIT) == c.whole, "the field holds \"%s\" after Next and Back, expected \"%s\"",
           ControlText(page, IDC_DEST_EDIT).c_str(), c.whole);
    }
    SetCase(nullptr);
    CancelSetup(page);
}

// A drive root that can be listed passes without a question.
void DriveRoot()
{
    WriteSampleCatalogue();
    StartSetup("");
    HWND page = NeedDestinationPage();
    SetText(page, IDC_DEST_EDIT, "D:\\");
    Click(page, IDC_DEST_NEXT);
    NeedDestinationSettled(page);
}

// One installation in the root of D: is offered as "D:\".
void FoundOne()
{
    WriteSampleCatalogue();
    PlaceInstallation("D:\\");
    StartSetup("");
    HWND page = NeedExistingPage();
    ExpectNoDialog(IDD_DESTINATION);
    std::vector<std::string> items = ListItems(page, IDC_FOUND_LIST);
    ok(items == std::vector<std::string>({"D:\\"}), "listed %s, expected {\"D:\\\"}", Join(items).c_str());
    ok(ListSelection(page, IDC_FOUND_LIST) == 0, "selection %d, expected 0", ListSelection(page, IDC_FOUND_LIST));
    CancelSetup(page);
}

// Two installations are listed in search order, the first selected; a
// directory named tovarin.exe and a copy on the floppy are not found.
void FoundTwo()
{
    WriteSampleCatalogue();
    PlaceInstallation("C:\\Apps\\Tovarin", "TOVARIN.EXE");
    PlaceInstallation("D:\\");
    MakeDirs("D:\\Decoy\\tovarin.exe");
    PlaceInstallation("A:\\");
    StartSetup("");
    HWND page = NeedExistingPage();
    std::vector<std::string> items = ListItems(page, IDC_FOUND_LIST);
    ok(items == std::vector<std::string>({"C:\\Apps\\Tovarin", "D:\\"}),
       "listed %s, expected {\"C:\\Apps\\Tovarin\", \"D:\\\"}", Join(items).c_str());
    ok(ListSelection(page, IDC_FOUND_LIST) == 0, "selection %d, expected 0", ListSelection(page, IDC_FOUND_LIST));
    CancelSetup(page);
}

// Installing over an installation with a settings file asks whether to
// keep it; either answer ends the page.
void InstallOverSettings()
{
    static const struct {
        const char* name;
        int answer;
    } cases[] = {{"keep", 1}, {"replace", 2}};
    for (const auto& c : cases) {
        SetCase(c.name);
        WriteSampleCatalogue();
        PlaceInstallation("D:\\Old");
        WriteBytes("D:\\Old\\tovarin.tvs", "settings", 8);
        StartSetup("");
        HWND page = NeedExistingPage();
        Click(page, IDC_INSTALL_OVER);
        NeedDialog(IDD_MESSAGE_BASE + MSG_KEEP_SETTINGS);
        Shot(c.name);
        Answer(MSG_KEEP_SETTINGS, c.answer, page);
        NeedDestinationSettled(page);
        ok(FileExists("D:\\Old\\tovarin.tvs"), "the settings file is gone");
    }
    SetCase(nullptr);
}

// A directory typed by hand may hold an installation that the search never
// finds (on a network drive; here a directory with a settings file and no
// tovarin.exe): its settings file is asked about as on page 2, and the
// answer holds for that directory, also after "keep" for another one.
void TypedInstallation()
{
    const std::string program = "the new program", standard = "standard settings", own = "my own settings";
    const CatalogueRecord records[] = {
        {"tovarin.ex_", "tovarin.exe", kBaseComponent, (uint32_t)program.size()},
        {"tovarin.tv_", "tovarin.tvs", kBaseComponent, (uint32_t)standard.size()},
    };
    Bytes catalogue((size_t)CatalogueFileBytes(2));
    ok(EncodeCatalogue(records, 2, catalogue.data(), catalogue.size()) == catalogue.size(),
       "the catalogue does not encode");
    WriteCatalogue(catalogue);
    // Plain files: LZ32 reads them as they are.
    WriteBytes("A:\\tovarin.ex_", program.data(), program.size());
    WriteBytes("A:\\tovarin.tv_", standard.data(), standard.size());

    static const struct {
        const char* name;
        int answer;          // to box 1 about the typed directory
        bool keptElsewhere;  // "keep" for an installation on page 2 first
    } cases[] = {{"keep", ANSWER_KEEP_SETTINGS, false}, {"replace", 2, false}, {"keep-there-replace-here", 2, true}};
    for (const auto& c : cases) {
        SetCase(c.name);
        std::string dir = std::string("D:\\Net\\") + c.name;
        MakeDirs(dir);
        WriteBytes(dir + "\\tovarin.tvs", own.data(), own.size());
        StartSetup("");
        if (c.keptElsewhere) {
            PlaceInstallation("D:\\Old");
            WriteBytes("D:\\Old\\tovarin.tvs", own.data(), own.size());
            HWND existing = NeedExistingPage();
            Click(existing, IDC_INSTALL_OVER);
            Answer(MSG_KEEP_SETTINGS, ANSWER_KEEP_SETTINGS, existing);
            NeedGone(existing);
            HWND components = NeedDialog(IDD_COMPONENTS);
            Click(components, IDC_COMPONENTS_BACK);
            NeedGone(components);
            existing = NeedExistingPage();
            Click(existing, IDC_OTHER_DIRECTORY);
            NeedGone(existing);
        }
        HWND page = NeedDestinationPage();
        SetText(page, IDC_DEST_EDIT, dir.c_str());
        Click(page, IDC_DEST_NEXT);
        NeedDialog(IDD_MESSAGE_BASE + MSG_KEEP_SETTINGS);
        Shot(c.name);
        Answer(MSG_KEEP_SETTINGS, c.answer, page);
        NeedGone(page);
        HWND components = NeedDialog(IDD_COMPONENTS);
        Click(components, IDC_COMPONENTS_NEXT);
        NeedGone(components);
        CancelSetup(NeedDialog(IDD_GROUP));

        Bytes installed, settings;
        ok(ReadBytes(dir + "\\tovarin.exe", &installed) && installed == Bytes(program.begin(), program.end()),
           "tovarin.exe was not installed");
        const std::string& expected = c.answer == ANSWER_KEEP_SETTINGS ? own : standard;
        ReadBytes(dir + "\\tovarin.tvs", &settings);
        ok(settings == Bytes(expected.begin(), expected.end()), "tovarin.tvs holds \"%s\", expected \"%s\"",
           std::string(settings.begin(), settings.end()).c_str(), expected.c_str());
        // What the next case's search finds: only its own earlier installation.
        RemoveFile(dir + "\\tovarin.exe");
    }
    SetCase(nullptr);
}

// Without a settings file, installing over asks nothing.
void InstallOverPlain()
{
    WriteSampleCatalogue();
    PlaceInstallation("D:\\New");
    StartSetup("");
    HWND page = NeedExistingPage();
    Click(page, IDC_INSTALL_OVER);
    NeedDestinationSettled(page);
}

// "Other directory" leads to page 3 with back; back returns to page 2 with
// its first entry selected again.
void OtherDirectoryAndBack()
{
    WriteSampleCatalogue();
    PlaceInstallation("C:\\Apps\\Tovarin");
    PlaceInstallation("D:\\");
    StartSetup("");
    HWND page = NeedExistingPage();
    SelectListItem(page, IDC_FOUND_LIST, 1);
    ok(ListSelection(page, IDC_FOUND_LIST) == 1, "selecting the second entry failed");
    Click(page, IDC_OTHER_DIRECTORY);

    HWND destination = NeedDestinationPage();
    ok(Visible(destination, IDC_DEST_BACK) && Enabled(destination, IDC_DEST_BACK),
       "back is not offered after \"other directory\"");
    ok(ControlText(destination, IDC_DEST_EDIT).empty(), "the destination field holds \"%s\"",
       ControlText(destination, IDC_DEST_EDIT).c_str());
    ok(!Enabled(destination, IDC_DEST_NEXT), "next is enabled on an empty field");
    SetText(destination, IDC_DEST_EDIT, "C:\\Elsewhere");
    Click(destination, IDC_DEST_BACK);

    page = NeedExistingPage();
    ok(ListItems(page, IDC_FOUND_LIST) == std::vector<std::string>({"C:\\Apps\\Tovarin", "D:\\"}),
       "page 2 lists %s on the second visit", Join(ListItems(page, IDC_FOUND_LIST)).c_str());
    ok(ListSelection(page, IDC_FOUND_LIST) == 0, "selection %d on the second visit, expected 0",
       ListSelection(page, IDC_FOUND_LIST));

    // Again to page 3: what was typed is kept.
    Click(page, IDC_OTHER_DIRECTORY);
    destination = NeedDestinationPage();
    ok(ControlText(destination, IDC_DEST_EDIT) == "C:\\Elsewhere", "the field holds \"%s\" on the second visit",
       ControlText(destination, IDC_DEST_EDIT).c_str());
    ok(Enabled(destination, IDC_DEST_NEXT), "next is disabled although the field holds a path");
    Click(destination, IDC_DEST_BACK);
    page = NeedExistingPage();
    Click(page, IDC_INSTALL_OVER);
    NeedDestinationSettled(page);
}

// Cancel on page 2: declined, the page stays as it was; confirmed, the
// program ends with 0.
void CancelExisting()
{
    WriteSampleCatalogue();
    PlaceInstallation("C:\\Apps\\Tovarin");
    PlaceInstallation("D:\\");
    StartSetup("");
    HWND page = NeedExistingPage();
    SelectListItem(page, IDC_FOUND_LIST, 1);
    Click(page, IDCANCEL);
    NeedDialog(IDD_MESSAGE_BASE + MSG_CONFIRM_CANCEL);
    Shot("confirm-cancel");
    Answer(MSG_CONFIRM_CANCEL, 2, page);
    ok(FindDialog(IDD_EXISTING) == page, "page 2 did not stay after declining to cancel");
    ok(ListItems(page, IDC_FOUND_LIST).size() == 2, "page 2 lists %s after declining",
       Join(ListItems(page, IDC_FOUND_LIST)).c_str());
    ok(ListSelection(page, IDC_FOUND_LIST) == 1, "selection %d after declining, expected 1",
       ListSelection(page, IDC_FOUND_LIST));
    ExpectNoDialog(IDD_DESTINATION);
    CancelSetup(page);
}

// Cancel on page 3: declined, the page stays as it was; confirmed, the
// program ends with 0.
void CancelDestination()
{
    WriteSampleCatalogue();
    StartSetup("");
    HWND page = NeedDestinationPage();
    SetText(page, IDC_DEST_EDIT, "C:\\Somewhere");
    Click(page, IDCANCEL);
    Answer(MSG_CONFIRM_CANCEL, 2, page);
    ok(FindDialog(IDD_DESTINATION) == page, "page 3 did not stay after declining to cancel");
    ok(ControlText(page, IDC_DEST_EDIT) == "C:\\Somewhere", "the field changed to \"%s\"",
       ControlText(page, IDC_DEST_EDIT).c_str());
    ok(Enabled(page, IDC_DEST_NEXT), "next is disabled after declining to cancel");
    CancelSetup(page);
    ok(!DirExists("C:\\Somewhere"), "the destination was created by a cancelled run");
}

// Started from a shortcut set to run minimized, the backdrop still shows
// normally.
void ShowMinimized()
{
    WriteSampleCatalogue();
    StartSetupShown("", SW_SHOWMINNOACTIVE);
    HWND page = NeedDestinationPage();
    HWND backdrop = FindSetupWindow("ORV_DSKINSTALL");
    if (!backdrop)
        fail("no top-level window of class ORV_DSKINSTALL");
    ok(IsWindowVisible(backdrop) && !IsIconic(backdrop), "the backdrop is not shown normally");
    RECT rect = WindowRect(backdrop);
    ok(rect.left == 50 && rect.top == 50 && rect.right == 974 && rect.bottom == 718,
       "backdrop at (%ld, %ld, %ld, %ld), expected (50, 50, 974, 718)", rect.left, rect.top, rect.right,
       rect.bottom);
    CancelSetup(page);
}

// Esc and the close box act as Cancel on a page, and Esc on message box 2
// answers "go on".
void CancelKeys()
{
    WriteSampleCatalogue();
    StartSetup("");
    HWND page = NeedDestinationPage();
    SetText(page, IDC_DEST_EDIT, "C:\\Kept");
    CloseBox(page);
    HWND box = NeedDialog(IDD_MESSAGE_BASE + MSG_CONFIRM_CANCEL);
    ok(Soon([&] { HWND f = FocusOfSetup(); return f == box || IsChild(box, f); }),
       "the focus is not in message box 2");
    PressKey(box, VK_ESCAPE);
    NeedGone(box);
    ok(FindDialog(IDD_DESTINATION) == page, "page 3 did not stay after Esc on message box 2");
    ok(ControlText(page, IDC_DEST_EDIT) == "C:\\Kept", "the field changed to \"%s\"",
       ControlText(page, IDC_DEST_EDIT).c_str());

    ok(Soon([&] { HWND f = FocusOfSetup(); return f == page || IsChild(page, f); }),
       "the focus did not come back to page 3");
    PressKey(page, VK_ESCAPE);
    Answer(MSG_CONFIRM_CANCEL, 1, page);
    NeedGone(page);
    static const int none[1] = {0};
    DWORD code = NeedExitShowing(none, 0);
    ok(code == 0, "exit code %lu after Esc and a confirmed cancel, expected 0", code);
}

// An installation in a directory of 250 characters is listed whole; one
// deeper than a path can hold is passed over without harm.
void LongFoundDirectory()
{
    WriteSampleCatalogue();
    std::string longDir = DeepPath("D:\\long", 250);
    std::string tooLong = DeepPath("D:\\longer", 300);
    PlaceInstallation(longDir);
    PlaceInstallation(tooLong);
    StartSetup("");
    HWND page = NeedExistingPage();
    std::vector<std::string> items = ListItems(page, IDC_FOUND_LIST);
    ok(items == std::vector<std::string>({longDir}), "listed %s, expected the 250-character directory only",
       Join(items).c_str());
    for (const std::string& item : items)
        ok(item.size() <= 259, "an entry of %u characters is listed", (unsigned)item.size());
    Click(page, IDC_INSTALL_OVER);
    NeedDestinationSettled(page);
}

// The destination field takes at most 259 characters; longer text set into
// it does not upset the page.
void DestinationLimit()
{
    WriteSampleCatalogue();
    StartSetup("");
    HWND page = NeedDestinationPage();
    std::string typed = DeepPath("C:\\limit", 300);
    Type(page, IDC_DEST_EDIT, typed.c_str());
    std::string held = ControlText(page, IDC_DEST_EDIT);
    ok(held.size() <= 259, "the field holds %u characters after typing 300, expected at most 259",
       (unsigned)held.size());
    ok(typed.compare(0, held.size(), held) == 0, "the field holds something else than the typed text");
    Shot("destination-full");

    // 400 characters set at once (as another program could): the page keeps
    // what fits its 260-byte buffer and survives next.
    std::string pasted = DeepPath("C:\\pasted", 400);
    SetText(page, IDC_DEST_EDIT, pasted.c_str());
    Click(page, IDC_DEST_NEXT);
    Answer(MSG_CREATE_DIR, 2, page);
    ok(FindDialog(IDD_DESTINATION) == page, "page 3 did not stay after declining");

    SetText(page, IDC_DEST_EDIT, held.c_str());
    Click(page, IDC_DEST_NEXT);
    Answer(MSG_CREATE_DIR, 1, page);
    // Creating 259 characters of directories may work or fail: both are fine
    // as long as the program answers and goes on.
    for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
        if (FindDialog(IDD_MESSAGE_BASE + MSG_CANNOT_CREATE_DIR)) {
            Trace("a 259-character directory cannot be created");
            Answer(MSG_CANNOT_CREATE_DIR, 1, page);
            ok(FindDialog(IDD_DESTINATION) == page, "page 3 did not stay after message box 3");
            CancelSetup(page);
            return;
        }
        if (!SetupRunning() || GetTickCount() - start > 10000)
            break;
    }
    NeedDestinationSettled(page);
    ok(DirExists(held.c_str()), "setup went on but the directory was not created");
}

// The search survives a directory symbolic link that loops back to the root
// of D: and a directory that cannot be read (the runner makes both).
void SearchLoop()
{
    if (!DirExists("D:\\loopdir\\loop\\loopdir"))
        fail("the runner did not make the loop D:\\loopdir\\loop -> D:\\");
    WriteSampleCatalogue();
    PlaceInstallation("D:\\Real");
    StartSetup("");
    HWND page = NeedExistingPage();
    std::vector<std::string> items = ListItems(page, IDC_FOUND_LIST);
    Trace("%u entries listed", (unsigned)items.size());
    bool real = false;
    for (const std::string& item : items) {
        real = real || item == "D:\\Real";
        ok(item.size() <= 259, "an entry of %u characters is listed", (unsigned)item.size());
        bool expected = item.size() >= 5 && (item.compare(item.size() - 5, 5, "\\Real") == 0
                                             || item.find("\\locked") != std::string::npos);
        ok(expected, "unexpected entry \"%s\"", item.c_str());
    }
    ok(real, "D:\\Real is not listed: %s", Join(items).c_str());
    CancelSetup(page);
}

// ---- The demonstration -------------------------------------------------------------

} // namespace

const Scenario kScenarios[] = {
    {"backdrop", Backdrop},
    {"arguments", Arguments},
    {"bad-catalogues", BadCatalogues},
    {"no-installation", NoInstallation},
    {"destination-missing", DestinationMissing},
    {"destination-is-file", DestinationIsFile},
    {"destination-not-full", DestinationNotFull},
    {"destination-whole", DestinationWhole},
    {"drive-root", DriveRoot},
    {"found-one", FoundOne},
    {"found-two", FoundTwo},
    {"install-over-settings", InstallOverSettings},
    {"install-over-plain", InstallOverPlain},
    {"typed-installation", TypedInstallation},
    {"other-directory-back", OtherDirectoryAndBack},
    {"cancel-existing", CancelExisting},
    {"cancel-destination", CancelDestination},
    {"cancel-keys", CancelKeys},
    {"show-minimized", ShowMinimized},
    {"long-found-directory", LongFoundDirectory},
    {"destination-limit", DestinationLimit},
    {"search-loop", SearchLoop},
    {nullptr, nullptr},
};

