// The scenarios that walk every page and box a user can meet, in the
// language and at the DPI their names give (NAME-LANG-DPI: run-scenario
// sets the user's language and LogPixels from it), and check on each that
// every text fits its control, is in that language and is there (fit.h).
// A box's text is held to what it names, a file or the program's own
// string for its reason in the run's language: they run alike in every
// language.
//
// A row of the table is one walk under one (language, DPI); the proofs
// show on the destination page that both checks report what they must.
#include "tests/e2e/driver/scenarios.h"

#include <shlobj.h>

#include <ctype.h>
#include <string.h>

#include <algorithm>

#include "catalogue/catfile.h"
#include "resources/resource.h"
#include "resources/tvremove.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/fit.h"

namespace {

const char kGroupName[] = "Tovarin95 Demo";   // the group page's default name

std::string RegistryDefault(const char* key)
{
    char data[256] = "";
    LONG size = sizeof data;
    return RegQueryValueA(HKEY_CLASSES_ROOT, key, data, &size) == ERROR_SUCCESS ? data : "(none)";
}

// After an installation: the file types' names in the registry and the
// group's items (Wine's Program Manager keeps them as links in the Start
// Menu) are the run's language's.
void ExpectNamesInLanguageAt(int line)
{
    LANGID language = RunLanguage();
    const struct {
        const char* key;
        int id;
    } types[] = {{"tvdfile", IDS_TYPE_DOCUMENT}, {"tvsfile", IDS_TYPE_SETTINGS}};
    for (const auto& t : types) {
        std::string expected = ProgramString(t.id, language);
        OkAt(line, !expected.empty() && RegistryDefault(t.key) == expected, "HKCR\\%s is \"%s\", expected \"%s\"",
             t.key, RegistryDefault(t.key).c_str(), expected.c_str());
    }
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
    std::vector<std::string> items = FilesUnder(std::string(programs) + "\\" + kGroupName);
    std::vector<std::string> expected = {"Tovarin.lnk", ProgramString(IDS_README_ITEM, language) + ".lnk",
                                         ProgramString(IDS_GUIDE_ITEM, language) + ".lnk"};
    std::sort(items.begin(), items.end());
    std::sort(expected.begin(), expected.end());
    std::string got, want;
    for (const std::string& i : items)
        got += "[" + i + "]";
    for (const std::string& e : expected)
        want += "[" + e + "]";
    OkAt(line, items == expected, "the group holds %s, expected %s", got.c_str(), want.c_str());
}
#define ExpectNamesInLanguage() ExpectNamesInLanguageAt(__LINE__)

// A screenshot's name for what shows: "box 4, create it" becomes box-4.
std::string ShotName(const char* what)
{
    std::string name;
    for (const char* c = what; *c && *c != ','; c++)
        name += isalnum((unsigned char)*c) ? (char)tolower((unsigned char)*c) : '-';
    return name;
}

// A dialog and, where it has one, its panel; then both checks on all that
// shows, and its picture (but of the please-wait page, which paints no
// more while it works).
HWND NeedCheckedAt(int line, int dialogId, int panelId, const char* what)
{
    HWND dialog = NeedDialogAt(line, dialogId, kWaitMs);
    if (panelId)
        NeedDialogAt(line, panelId, 5000);
    ExpectShownRightAt(line, what);
    if (dialogId != IDD_PLEASE_WAIT)
        Shot(ShotName(what).c_str());
    return dialog;
}
#define NeedChecked(dialogId, panelId, what) NeedCheckedAt(__LINE__, (dialogId), (panelId), (what))
#define NeedCheckedBox(n, what) NeedCheckedAt(__LINE__, IDD_MESSAGE_BASE + (n), 0, (what))

// Both programs' boxes hold their text in control 100.
const int kBoxText = 100;
static_assert(IDC_MESSAGE_TEXT == kBoxText && IDC_BOX_TEXT == kBoxText, "a box's text is control 100");

// The box's text holds what it must name: a file, or its reason whole.
void ExpectBoxNamesAt(int line, HWND box, const std::string& named, const char* what)
{
    std::string text = ControlText(box, kBoxText);
    OkAt(line, !named.empty() && text.find(named) != std::string::npos, "%s: the box says \"%s\", not \"%s\"", what,
         text.c_str(), named.c_str());
}
#define ExpectBoxNames(box, named, what) ExpectBoxNamesAt(__LINE__, (box), (named), (what))
#define ExpectBoxReason(box, id, what) ExpectBoxNamesAt(__LINE__, (box), ProgramString((id), RunLanguage()), (what))

// Every page and box of setup.exe: box 11 without a catalogue and with a
// damaged one; a plain installation to its finish page; then from floppies,
// beside an earlier installation, the please-wait page, boxes 12 (each of
// its three texts), 4, 3 and 1 on the destination, both component pages,
// box 2, the copy with box 9 and box 10, the program group, and the finish
// page that lists what was left undone; and on a drive of 2 MB (where
// run-scenario may mount one) box 5 and box 0.
void SetupWalk()
{
    NeedRunConditions();

    StartSetup("");
    HWND box = NeedCheckedBox(MSG_RUN_STOPPED, "box 11, no catalogue");
    ExpectBoxReason(box, IDS_STOP_NO_CATALOGUE, "box 11, no catalogue");
    Click(box, IDC_ANSWER_1);
    NeedExit();
    WriteBytes("A:\\setup.inf", "", 0);
    StartSetup("");
    box = NeedCheckedBox(MSG_RUN_STOPPED, "box 11, a damaged catalogue");
    ExpectBoxReason(box, IDS_STOP_BAD_CATALOGUE, "box 11, a damaged catalogue");
    Click(box, IDC_ANSWER_1);
    NeedExit();

    StartInstalling("C:\\Plain", 4096);
    HWND group = NeedDialog(IDD_GROUP);
    Click(group, IDOK);
    HWND finish = NeedChecked(IDD_FINISH, 0, "finish page");
    Click(finish, IDOK);
    NeedExit();
    CloseFolderWindows(kGroupName);
    ExpectNamesInLanguage();

    const Distribution dist = {
        File("tovarin.ex_", "tovarin.exe", kBaseComponent, 30000, kCompressed, 1),
        File("readme.wr_", "readme.wri", kBaseComponent, 12000, kCompressed, 1),
        File("border.da_", "border\\border.dat", 0x100, 5000, kCompressed, 1),
        File("broken.da_", "broken.dat", kBaseComponent, 20000, kDamaged, 2),
        File("guide.hl_", "GUIDE\\guide.hlp", kGuideComponent, 9000, kCompressed, 2),
    };
    WriteFloppies(dist);
    MakeDirs("D:\\Old");
    WriteBytes("D:\\Old\\tovarin.exe", "MZ", 2);
    WriteBytes("D:\\Old\\tovarin.tvs", "settings", 8);
    WriteBytes("C:\\blocked", "x", 1);
    StartSetup("");
    // The please-wait page handles no messages while it works: the checks
    // read what the window manager keeps.  Its text changes when the search
    // begins: each text it shows is checked.
    HWND wait = NeedChecked(IDD_PLEASE_WAIT, 0, "please-wait page");
    std::vector<std::wstring> waitTexts;
    for (DWORD start = GetTickCount(); IsWindowVisible(wait) && GetTickCount() - start < kWaitMs; Sleep(5)) {
        std::wstring now = KeptText(GetDlgItem(wait, IDC_WAIT_STATUS));
        if (std::count(waitTexts.begin(), waitTexts.end(), now))
            continue;
        if (!waitTexts.empty())
            ExpectShownRight("please-wait page, searching");
        waitTexts.push_back(now);
    }
    ok(waitTexts.size() == 2, "the please-wait page showed %u texts, expected its own and the search's",
       (unsigned)waitTexts.size());
    HWND existing = NeedChecked(IDD_EXISTING, IDD_PANEL_EXISTING, "earlier installations");
    Click(existing, IDC_OTHER_DIRECTORY);
    HWND page = NeedChecked(IDD_DESTINATION, IDD_PANEL_DESTINATION, "destination");

    static const struct {
        const char* typed;
        int box;
        const char* what;
        int answer;
        int reason;   // the string box 12 shows whole (with its example path)
    } boxes[] = {
        {"Tovarin", MSG_BAD_DESTINATION, "box 12, no full path", 1, IDS_DEST_NOT_FULL},
        {"\\\\server\\share\\Tovarin", MSG_BAD_DESTINATION, "box 12, a network path", 1, IDS_DEST_NETWORK},
        {"C:\\Tovarin\\a*b", MSG_BAD_DESTINATION, "box 12, a character names cannot hold", 1, IDS_DEST_CHARACTERS},
        {"C:\\blocked", MSG_CREATE_DIR, "box 4, create the directory", ANSWER_CREATE_DIR, 0},
        {nullptr, MSG_CANNOT_CREATE_DIR, "box 3, cannot create it", 1, 0},
        {"D:\\Old", MSG_KEEP_SETTINGS, "box 1, keep the settings", ANSWER_KEEP_SETTINGS, 0},
    };
    for (const auto& b : boxes) {
        if (b.typed) {
            SetText(page, IDC_DEST_EDIT, b.typed);
            Click(page, IDC_DEST_NEXT);
        }
        HWND shown = NeedCheckedBox(b.box, b.what);
        if (b.reason)
            ExpectBoxReason(shown, b.reason, b.what);
        Answer(b.box, b.answer, page);
    }

    HWND components = NeedChecked(IDD_COMPONENTS, IDD_PANEL_COMPONENTS, "components");
    Click(components, IDC_DETAILS);
    HWND custom = NeedChecked(IDD_CUSTOM, IDD_PANEL_CUSTOM, "additional components");
    Click(custom, IDOK);
    NeedGone(custom);
    Click(components, IDCANCEL);
    NeedCheckedBox(MSG_CONFIRM_CANCEL, "box 2, exit setup");
    Answer(MSG_CONFIRM_CANCEL, 2, components);
    Click(components, IDC_COMPONENTS_NEXT);

    box = NeedCheckedBox(MSG_INSERT_DISK, "box 9 over the copy-progress page");
    ExpectBoxNames(box, "2", "box 9, its disk number");
    ok(FindDialog(IDD_PROGRESS) != nullptr, "the copy-progress page is not up beside box 9");
    ChangeDisk(DiskDir(2));
    Click(box, IDC_ANSWER_1);
    NeedGone(box);
    box = NeedCheckedBox(MSG_EXPAND_FAILED, "box 10, a damaged file");
    ExpectBoxNames(box, "d:\\old\\broken.dat", "box 10, the file");   // lower case, as the copy page has it
    Click(box, ANSWER_IGNORE_FILE);
    NeedGone(box);
    group = NeedChecked(IDD_GROUP, IDD_PANEL_GROUP, "program group");
    Click(group, IDOK);
    finish = NeedChecked(IDD_FINISH, 0, "finish page, with what was left undone");
    ok(Visible(finish, IDC_FINISH_UNDONE), "the finish page lists nothing left undone");
    Click(finish, IDOK);
    NeedExit();
    CloseFolderWindows(kGroupName);

    // A drive too small for the choice: box 5; going on anyway, box 0 when
    // the disk is full.
    if (!DirExists("E:\\")) {
        Trace("no drive E: (run-scenario mounts a 2 MB tmpfs for it as root): boxes 5 and 0 left out");
        return;
    }
    const Distribution big = {
        File("big1.dat", "big1.dat", kBaseComponent, 1000000, kPlain),
        File("big2.dat", "big2.dat", kBaseComponent, 1000000, kPlain),
        File("big3.dat", "big3.dat", kBaseComponent, 1000000, kPlain),
    };
    ChangeDisk(DiskDir(1));
    WriteDisk("A:", big, 0);
    components = NeedComponentsPage("E:\\Dest");
    Click(components, IDC_COMPONENTS_NEXT);
    NeedCheckedBox(MSG_LOW_DISK_SPACE, "box 5, not enough space");
    Answer(MSG_LOW_DISK_SPACE, 1, components);
    box = NeedCheckedBox(MSG_COPY_FAILED, "box 0, a file not copied completely");
    Click(box, IDC_ANSWER_1);
    NeedGone(box);
    box = NeedDialog(IDD_MESSAGE_BASE + MSG_EXPAND_FAILED);
    Click(box, ANSWER_ABORT_COPY);
    NeedExit();
}

// Every box of the removal program and its progress page: a record damaged
// at its end (box 4), the settings file (box 2), a file in use (box 3 over
// the progress page), and box 6 once the user stopped the removal there and
// once with what was left; and a destination without its record (box 5).
void RemovalWalk()
{
    NeedRunConditions();
    static const struct {
        const char* dest;
        int inUse;           // the answer to box 3
        const char* last;    // what box 6 says then
    } runs[] = {
        {"C:\\Stopped", ANSWER_STOP, "box 6, the removal stopped"},
        {"C:\\TOVARIN", ANSWER_LATER, "box 6, what was left"},
    };
    for (const auto& run : runs) {
        SetCase(run.dest);
        const std::string held = std::string(run.dest) + "\\tovarin.exe";
        StartRemoval(run.dest, kDamagedRecord);
        HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            fail("cannot hold %s open", held.c_str());
        // What boxes 4, 3 and 6 name: the record, the file, and the file
        // again or that the removal stopped.
        const std::string stopped = ProgramString(IDS_STOPPED, RunLanguage());
        const struct {
            int box;
            const char* what;
            int answer;
            std::string named;
        } boxes[] = {
            {BOX_CONFIRM_REMOVE, "box 1, remove Tovarin", ANSWER_REMOVE, ""},
            {BOX_RECORD_DAMAGED, "box 4, a damaged record", 1, std::string(run.dest) + "\\tvremove.log"},
            {BOX_KEEP_SETTINGS, "box 2, keep the settings", ANSWER_KEEP, ""},
            {BOX_FILE_IN_USE, "box 3 over the progress page, a file in use", run.inUse, held},
            {BOX_REMOVED, run.last, 1, run.inUse == ANSWER_STOP ? stopped : held},
        };
        for (const auto& b : boxes) {
            HWND shown = NeedCheckedBox(b.box, b.what);
            if (!b.named.empty())
                ExpectBoxNames(shown, b.named, b.what);
            if (b.box == BOX_FILE_IN_USE)
                ok(FindDialog(IDD_REMOVE_PROGRESS) != nullptr, "the progress page is not up beside box 3");
            Answer(b.box, b.answer, nullptr);
        }
        NeedWatchedGone(30000);
        CloseHandle(file);
    }
    SetCase(nullptr);

    StartRemoval("C:\\NoRecord", kNoRecord);
    Answer(BOX_CONFIRM_REMOVE, ANSWER_REMOVE, nullptr);
    NeedCheckedBox(BOX_NO_RECORD, "box 5, no record");
    Answer(BOX_NO_RECORD, 1, nullptr);
    NeedWatchedGone(30000);
}

// ---- The checks can fail -------------------------------------------------------------

std::string Describe(const std::vector<ShownFault>& faults)
{
    std::string out;
    for (const ShownFault& f : faults)
        out += "\n    " + FaultPlace(f) + ": " + f.text;
    return out.empty() ? " none" : out;
}

// On the destination page, a few ways the checks must report a fault, and
// the page as it is, where they report none.
void Proofs()
{
    NeedRunConditions();
    const Distribution dist = {File("tovarin.ex_", "tovarin.exe", kBaseComponent, 3000),
                               File("guide.hl_", "GUIDE\\guide.hlp", kGuideComponent, 3000)};
    WriteDisk("A:", dist, 0);
    StartSetup("");
    HWND page = NeedDialog(IDD_DESTINATION);
    SetText(page, IDC_DEST_EDIT, "C:\\Tovarin");   // Next is enabled only with a path

    const int kNone = 0, kAnyControl = -0x10001;
    static const struct {
        const char* label;
        int plantedIn;         // Next or kTheDialog (the caption)
        const char* planted;   // the text planted there for the case, or null
        int extraPoints;
        LANGID expected;
        int misfit;            // what must not fit: kNone, kAnyControl, a control's id, kTheDialog
        bool otherFont;        // the font check must find the font wrong
        bool english;          // the language check must report English texts
    } cases[] = {
        {"as it is", 0, nullptr, 0, kEnglishUS, kNone, false, false},
        {"a long text planted in Next", IDC_DEST_NEXT, "&Next to the directory typed above >", 0, kEnglishUS,
         IDC_DEST_NEXT, false, false},
        {"an empty text planted in Next", IDC_DEST_NEXT, "", 0, kEnglishUS, IDC_DEST_NEXT, false, false},
        {"a long caption planted", kTheDialog,
         "Tovarin Setup - The Directory Into Which Tovarin And All Of Its Components Will Be Installed", 0, kEnglishUS,
         kTheDialog, false, false},
        {"measured 4 points larger", 0, nullptr, 4, kEnglishUS, kAnyControl, true, false},
        {"German expected of an English run", 0, nullptr, 0, kGerman, kNone, false, true},
        {"French expected of an English run", 0, nullptr, 0, kFrench, kNone, false, true},
    };
    const std::string next = ControlText(page, IDC_DEST_NEXT), caption = Text(page);
    auto plant = [&](int where, const std::string& text) {
        if (where != kTheDialog) {
            SetText(page, where, text.c_str());
            return;
        }
        std::wstring wide(text.begin(), text.end());
        DWORD_PTR result;
        if (!SendMessageTimeoutW(page, WM_SETTEXT, 0, (LPARAM)wide.c_str(), SMTO_NORMAL, 5000, &result))
            fail("the page took no new caption");
    };
    for (const auto& c : cases) {
        SetCase(c.label);
        if (c.planted)
            plant(c.plantedIn, c.planted);
        std::vector<ShownFault> fit = FitFaults(page, c.extraPoints), language = LanguageFaults(page, c.expected);
        Trace("fit faults:%s", Describe(fit).c_str());
        Trace("language faults:%s", Describe(language).c_str());
        bool wrongFont = std::any_of(fit.begin(), fit.end(), [](const ShownFault& f) {
            return f.text.find("is not the dialog's") != std::string::npos;
        });
        bool misfit = std::any_of(fit.begin(), fit.end(), [&](const ShownFault& f) {
            return c.misfit == kAnyControl ? f.control != kTheDialog : f.control == c.misfit;
        });
        ok(wrongFont == c.otherFont, "the font check %s", wrongFont ? "found the font wrong" : "passed");
        if (c.misfit == kNone)
            ok(fit.empty(), "the fit check reported:%s", Describe(fit).c_str());
        else
            ok(misfit, "the fit check did not report %s:%s",
               c.misfit == kAnyControl ? "a control" : c.misfit == kTheDialog ? "the caption" :
               ("control " + std::to_string(c.misfit)).c_str(), Describe(fit).c_str());
        if (c.planted)
            ok(misfit && fit.size() == 1 && fit[0].dialog == IDD_DESTINATION &&
                   (*c.planted ? fit[0].text.find(c.planted) != std::string::npos && fit[0].needed.cx > fit[0].room.cx
                               : fit[0].text.find("shows no text") != std::string::npos),
               "the report does not name dialog 3 and the planted text alone, wider than its room or empty:%s",
               Describe(fit).c_str());
        bool englishCaption = std::any_of(language.begin(), language.end(), [](const ShownFault& f) {
            return f.control == kTheDialog && f.text.find("Destination Directory") != std::string::npos;
        });
        if (c.english)
            ok(englishCaption && language.size() >= 5,
               "the language check did not report the English caption and texts:%s", Describe(language).c_str());
        else
            ok(language.empty(), "the language check reported:%s", Describe(language).c_str());
        if (c.planted)
            plant(c.plantedIn, c.plantedIn == kTheDialog ? caption : next);
    }
    SetCase(nullptr);
    ok(FitFaults(page, 0).empty(), "the page does not fit again once Next and the caption have their texts back");

    // A check box's text may not run under its box: the guide's box grows
    // a letter at a time until the check reports it, while the text still
    // fits the control's whole client width.
    SetText(page, IDC_DEST_EDIT, "D:\\");
    Click(page, IDC_DEST_NEXT);
    HWND components = NeedDialog(IDD_COMPONENTS);
    const int guide = 13;
    RECT client;
    GetClientRect(Control(components, guide), &client);
    std::string text = ControlText(components, guide);
    std::vector<ShownFault> fit;
    while (fit.empty() && text.size() < 100) {
        text += "x";
        SetText(components, guide, text.c_str());
        fit = FitFaults(components, 0);
    }
    Trace("the guide's box, %ld pixels wide, with \"%s\":%s", client.right, text.c_str(), Describe(fit).c_str());
    ok(fit.size() == 1 && fit[0].control == guide && fit[0].needed.cx <= client.right,
       "expected the guide's box alone reported with a text that fits its %ld pixels:%s", client.right,
       Describe(fit).c_str());
    CancelSetup(components);
}

} // namespace

// One row a walk under one language and DPI; German and French rows join
// once the programs carry those languages.
extern const Scenario kFitScenarios[] = {
    {"fit-setup-en-96", SetupWalk},
    {"fit-setup-en-120", SetupWalk},
    {"fit-remove-en-96", RemovalWalk},
    {"fit-remove-en-120", RemovalWalk},
    {"fit-setup-de-96", SetupWalk},
    {"fit-setup-de-120", SetupWalk},
    {"fit-remove-de-96", RemovalWalk},
    {"fit-remove-de-120", RemovalWalk},
    {"fit-setup-fr-96", SetupWalk},
    {"fit-setup-fr-120", SetupWalk},
    {"fit-remove-fr-96", RemovalWalk},
    {"fit-remove-fr-120", RemovalWalk},
    // A Swiss German and a Canadian French user get German and French.
    {"fit-setup-de_CH-96", SetupWalk},
    {"fit-setup-ja-96", SetupWalk},
    {"fit-remove-fr_CA-120", RemovalWalk},
    {"fit-proofs-en-96", Proofs},
    {"fit-proofs-en-120", Proofs},
    {nullptr, nullptr},
};
