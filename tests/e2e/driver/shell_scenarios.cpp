// The end-to-end scenarios of the end of an installation: the program-group
// page and the commands sent to Program Manager (against a stand-in that
// records them, and against Wine's own), the shell's registry entries, the
// finish page, the whole road with a picture of every page, and the 3D-
// controls library on Windows NT and Windows 95.
//
// The stand-in, C:\progman.exe (tests/e2e/progman), answers the group
// request with C:\progman\groups.txt and logs every conversation and command
// in C:\progman\log.txt.  Wine's desktop process serves "PROGMAN" too; the
// stand-in's windows are topmost, so a DdeConnect's broadcast reaches it
// first and it takes the conversation.  StartStandIn proves that with a
// request of its own before setup.exe starts, and the scenarios check that
// Wine's server made no group.
#include "tests/e2e/driver/scenarios.h"
#include "tests/e2e/driver/fit.h"

#include <windows.h>

#include <ddeml.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "catalogue/catfile.h"
#include "install/record.h"
#include "resources/resource.h"
#include "tests/e2e/driver/driver.h"
#include "tools/szdd/szdd.h"

namespace {


const int kGuideBox = 13;   // the guide component (bit 0x10) on the components page
const char kDefaultGroup[] = "Tovarin95 Demo";
const char kStandInDir[] = "C:\\progman";
const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TOVARIN.EXE";

std::string Join(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "\"" : ", \"") + item + "\"";
    return "{" + out + "}";
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

template <typename Condition>
bool Soon(Condition condition)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(kPollMs)) {
        if (condition())
            return true;
    }
    return condition();
}


// ---- A small distribution ------------------------------------------------------
// Plain files (LZ32 reads them as they are).  Every item's file is part of
// it: Wine's Program Manager adds no item whose file is missing.  The
// document template goes to the New menu's folder (the prefix's Templates
// folder, as it has no C:\windows\ShellNew), unless left out.

const char kTemplateSource[] = "A:\\default.tv_";

void WriteDistributionAt(int line, uint32_t libraryBytes, bool withTemplate = true)
{
    struct File {
        const char* source;
        const char* target;
        uint32_t mask;
        uint32_t size;
    };
    const File files[] = {
        {"tovarin.ex_", "tovarin.exe", kBaseComponent, 4096},
        {"tovarin.dl_", "tovarin.dll", kBaseComponent, libraryBytes},
        {"readme.wr_", "readme.wri", kBaseComponent, 2048},
        {"guide.hl_", "GUIDE\\guide.hlp", kGuideComponent, 3072},
        {"default.tv_", "default.tvd", kBaseComponent, 1536},
    };
    std::vector<CatalogueRecord> records;
    for (const File& f : files) {
        if (!withTemplate && std::string(f.target) == "default.tvd")
            continue;
        Bytes content(f.size, (uint8_t)('a' + records.size()));
        WriteBytesAt(line, std::string("A:\\") + f.source, content.data(), content.size());
        records.push_back({f.source, f.target, f.mask, f.size});
    }
    Bytes catalogue((size_t)CatalogueFileBytes((uint32_t)records.size()));
    if (EncodeCatalogue(records.data(), (uint32_t)records.size(), catalogue.data(), catalogue.size())
        != catalogue.size())
        FailAt(line, "the catalogue does not encode");
    WriteBytesAt(line, "A:\\setup.inf", catalogue.data(), catalogue.size());
}
#define WriteDistribution(...) WriteDistributionAt(__LINE__, __VA_ARGS__)

// ---- The Program Manager stand-in ----------------------------------------------

PROCESS_INFORMATION standIn = {};
size_t standInLogStart = 0;

std::string StandInPath(const char* name)
{
    return std::string(kStandInDir) + "\\" + name;
}

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// What "PROGMAN" answers to the group request, as setup.exe asks it; false
// when no server answers.
bool RequestGroups(std::string* text)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return false;
    HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    HCONV conversation = DdeConnect(instance, name, name, nullptr);
    HDDEDATA data = conversation
        ? DdeClientTransaction(nullptr, 0, conversation, name, CF_TEXT, XTYP_REQUEST, 3500, nullptr)
        : nullptr;
    if (data) {
        text->assign(DdeGetData(data, nullptr, 0, 0), '\0');
        if (!text->empty())
            DdeGetData(data, (LPBYTE)&(*text)[0], (DWORD)text->size(), 0);
        DdeFreeDataHandle(data);
    }
    if (conversation)
        DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, name);
    DdeUninitialize(instance);
    return data != nullptr;
}

std::string StandInLogBytes()
{
    Bytes bytes;
    ReadBytes(StandInPath("log.txt"), &bytes);
    return std::string(bytes.begin(), bytes.end());
}

// Has the stand-in refuse the commands named, one a line ("AddItem\r\n
// CreateGroup"), from now on; "" refuses none.
#define RefuseCommands(names) RefuseCommandsAt(__LINE__, (names))
void RefuseCommandsAt(int line, const std::string& names)
{
    RemoveFileAt(line, StandInPath("refuse.txt"));
    if (!names.empty())
        WriteBytesAt(line, StandInPath("refuse.txt"), names.data(), names.size());
}

// Starts the stand-in with the answer to the group request (sent as it is,
// with a terminating zero) and checks that a client reaches it.  It
// acknowledges every command.
void StartStandInAt(int line, const std::string& groups)
{
    MakeDirsAt(line, kStandInDir);
    WriteBytesAt(line, StandInPath("groups.txt"), groups.data(), groups.size());
    RefuseCommandsAt(line, "");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    char commandLine[] = "\"C:\\progman.exe\" C:\\progman";
    if (!CreateProcessA("C:\\progman.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup,
                        &standIn))
        FailAt(line, "cannot start C:\\progman.exe (error %lu)", GetLastError());
    if (!Soon([] { return FileExists(StandInPath("ready").c_str()); }))
        FailAt(line, "the Program Manager stand-in did not get ready");
    std::string answer;
    bool answered = RequestGroups(&answer);
    if (!answered || answer != groups + '\0')
        FailAt(line, "\"PROGMAN\" answers %u bytes \"%s\", not the stand-in's groups: Wine's server took the "
               "conversation", (unsigned)answer.size(), answer.c_str());
    // The stand-in may log the end of that conversation after the client has
    // gone on: the records of setup.exe start after it.
    if (!Soon([] {
            std::string log = StandInLogBytes();
            return log.size() >= 11 && log.compare(log.size() - 11, 11, "disconnect\n") == 0;
        }))
        FailAt(line, "the stand-in did not record the end of the test conversation");
    standInLogStart = StandInLogBytes().size();
    Trace("the Program Manager stand-in serves \"PROGMAN\"");
}
#define StartStandIn(groups) StartStandInAt(__LINE__, (groups))

// The records from here on are the ones that StandInLog gives.
void SkipStandInLog()
{
    standInLogStart = StandInLogBytes().size();
}

// The stand-in's records since it was started: "connect", "disconnect",
// "request ITEM FORMAT", and "execute TEXT" for a command that came as TEXT
// and its terminating zero ("execute-unterminated BYTES" otherwise).
std::vector<std::string> StandInLog()
{
    std::string log = StandInLogBytes();
    std::vector<std::string> records;
    size_t at = std::min(standInLogStart, log.size());
    while (at < log.size()) {
        if (log.compare(at, 8, "execute ") == 0) {
            size_t space = log.find(' ', at + 8);
            size_t n = strtoul(log.c_str() + at + 8, nullptr, 10);
            std::string data = space == std::string::npos ? "" : log.substr(space + 1, n);
            bool terminated = !data.empty() && data.find('\0') == data.size() - 1;
            records.push_back(terminated ? "execute " + data.substr(0, data.size() - 1)
                                         : "execute-unterminated " + data);
            at = space == std::string::npos ? log.size() : space + 1 + n + 1;
        } else {
            size_t end = log.find('\n', at);
            end = end == std::string::npos ? log.size() : end;
            records.push_back(log.substr(at, end - at));
            at = end + 1;
        }
    }
    return records;
}

void StopStandIn()
{
    if (!standIn.hProcess)
        return;
    WriteBytes(StandInPath("stop"), "", 0);
    if (WaitForSingleObject(standIn.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(standIn.hProcess, 1);
    CloseHandle(standIn.hProcess);
    CloseHandle(standIn.hThread);
    standIn = PROCESS_INFORMATION();
}

std::string Lines(const std::vector<std::string>& records)
{
    std::string out;
    for (const std::string& r : records)
        out += "\n    " + r;
    return out;
}

#define ExpectStandInLog(expected) ExpectStandInLogAt(__LINE__, (expected))
void ExpectStandInLogAt(int line, const std::vector<std::string>& expected)
{
    std::vector<std::string> got = StandInLog();
    OkAt(line, got == expected, "the stand-in recorded:%s\nexpected:%s", Lines(got).c_str(), Lines(expected).c_str());
}

// What the page's group request leaves in the log.
const std::vector<std::string> kGroupRequest = {"connect", "request PROGMAN 1", "disconnect"};

// ---- Pages -------------------------------------------------------------------------

bool Checked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutW(Control(dialog, id), BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &state);
    return state == BST_CHECKED;
}

// The components page with the guide chosen or not; takes its picture.
void ChooseComponentsAt(int line, bool guide, const char* shot)
{
    HWND page = NeedDialogAt(line, IDD_COMPONENTS, kWaitMs);
    if (Checked(page, kGuideBox) != guide)
        ClickAt(line, page, kGuideBox);
    OkAt(line, Soon([&] { return Checked(page, kGuideBox) == guide; }), "the guide box did not change");
    if (shot)
        Shot(shot);
    ClickAt(line, page, IDC_COMPONENTS_NEXT);
    NeedGoneAt(line, page);
}

// Starts setup.exe and goes to the program-group page: dest typed on the
// destination page (made beforehand, so no question), or an earlier
// installation in dest installed over; the guide component as asked.
void StartCopyingAt(int line, const std::string& dest, bool guide, bool makeDest = true)
{
    if (dest.size() > 3 && makeDest)
        MakeDirsAt(line, dest);
    StartSetupAt(line, "A:\\setup.exe", "", -1);
    for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
        if (HWND existing = FindDialog(IDD_EXISTING)) {
            std::vector<std::string> found = ListItems(existing, IDC_FOUND_LIST);
            bool over = !found.empty() && Lower(found[0]) == Lower(dest);
            ClickAt(line, existing, over ? IDC_INSTALL_OVER : IDC_OTHER_DIRECTORY);
            // Over an installation with a settings file: they are kept.
            for (DWORD asked = GetTickCount(); over && IsWindow(existing) && GetTickCount() - asked < 5000;
                 Sleep(kPollMs)) {
                if (FindDialog(IDD_MESSAGE_BASE + MSG_KEEP_SETTINGS)) {
                    AnswerAt(line, MSG_KEEP_SETTINGS, ANSWER_KEEP_SETTINGS, existing);
                    break;
                }
            }
            NeedGoneAt(line, existing);
            if (over)
                break;
        }
        if (HWND page = FindDialog(IDD_DESTINATION)) {
            SetTextAt(line, page, IDC_DEST_EDIT, dest.c_str());
            ClickAt(line, page, IDC_DEST_NEXT);
            if (!makeDest) {
                NeedDialogAt(line, IDD_MESSAGE_BASE + MSG_CREATE_DIR, kWaitMs);
                AnswerAt(line, MSG_CREATE_DIR, 1, page);
            }
            NeedGoneAt(line, page);
            break;
        }
        if (!SetupRunning() || GetTickCount() - start > kWaitMs)
            FailAt(line, "neither the destination page nor the existing-installations page came");
    }
    ChooseComponentsAt(line, guide, nullptr);
}

HWND NeedGroupPageAt(int line, const std::string& dest, bool guide)
{
    StartCopyingAt(line, dest, guide);
    HWND page = NeedDialogAt(line, IDD_GROUP, kWaitMs);
    ExpectPlacedAt(line, page, 1);
    HWND panel = NeedDialogAt(line, IDD_PANEL_GROUP, 5000);
    ExpectPlacedAt(line, panel, 2);
    return page;
}
#define NeedGroupPage(dest, guide) NeedGroupPageAt(__LINE__, (dest), (guide))

#define ExpectGroupPage(page, items, selected, edit) ExpectGroupPageAt(__LINE__, (page), (items), (selected), (edit))
void ExpectGroupPageAt(int line, HWND page, const std::vector<std::string>& items, int selected, const char* edit)
{
    std::vector<std::string> listed = ListItems(page, IDC_GROUP_LIST);
    OkAt(line, listed == items, "the group list holds %s, expected %s", Join(listed).c_str(), Join(items).c_str());
    int selection = ListSelection(page, IDC_GROUP_LIST);
    OkAt(line, selection == selected, "list selection %d, expected %d", selection, selected);
    std::string text = ControlText(page, IDC_GROUP_EDIT);
    OkAt(line, text == edit, "the group name is \"%s\", expected \"%s\"", text.c_str(), edit);
}

// OK on the program-group page: the finish page follows, centred, and
// Finish ends the program with 0.
// The finish page lists what was left undone, line by line: nothing (the
// list hidden) when undone is empty.
void FinishAt(int line, HWND groupPage, const std::vector<std::string>& undone = {})
{
    ClickAt(line, groupPage, IDOK);
    NeedGoneAt(line, groupPage);
    HWND finish = NeedDialogAt(line, IDD_FINISH, kWaitMs);
    OkAt(line, FindDialog(IDD_PANEL_GROUP) == nullptr, "the group panel outlived its page");
    ExpectPlacedAt(line, finish, 1);
    std::vector<std::string> listed;
    if (Visible(finish, IDC_FINISH_UNDONE))
        listed = ListItems(finish, IDC_FINISH_UNDONE);
    OkAt(line, listed == undone, "the finish page lists:%s\nexpected:%s", Lines(listed).c_str(),
         Lines(undone).c_str());
    ClickAt(line, finish, IDOK);
    static const int finishOnly[] = {IDD_FINISH};
    DWORD code = NeedExitAt(line, kExitWaitMs, finishOnly, 1);
    OkAt(line, code == 0, "exit code %lu after Finish, expected 0", code);
}
#define Finish(...) FinishAt(__LINE__, __VA_ARGS__)

// ---- Registry ---------------------------------------------------------------------------



bool KeyExists(HKEY root, const char* key)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::string Printable(const std::string& bytes)
{
    std::string out;
    for (char c : bytes)
        out += c ? std::string(1, c) : std::string("\\0");
    return out;
}

// The registry writes of setup.exe, as the spy library saw them: value
// name and the bytes passed (their count is the length written).
const char kRegistryCalls[] = "C:\\regset-calls.txt";

struct SetValueCall {
    std::string name;
    DWORD type;
    std::string data;
};

std::vector<SetValueCall> SetValueCalls()
{
    Bytes bytes;
    ReadBytes(kRegistryCalls, &bytes);
    std::string log(bytes.begin(), bytes.end());
    std::vector<SetValueCall> calls;
    for (size_t at = 0; at < log.size();) {
        size_t tab1 = log.find('\t', at), tab2 = log.find('\t', tab1 + 1), tab3 = log.find('\t', tab2 + 1);
        if (tab3 == std::string::npos)
            break;
        SetValueCall call;
        call.name = log.substr(at, tab1 - at);
        call.type = strtoul(log.c_str() + tab1 + 1, nullptr, 10);
        size_t n = strtoul(log.c_str() + tab2 + 1, nullptr, 10);
        call.data = log.substr(tab3 + 1, n);
        calls.push_back(call);
        at = tab3 + 1 + n + 1;
    }
    return calls;
}

// The user's Templates folder, as the shell names it.
std::string TemplatesFolderAt(int line)
{
    std::string templates;
    DWORD type = 0;
    if (!QueryValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                    "Templates", &type, &templates))
        FailAt(line, "the prefix has no Templates folder");
    return templates.c_str();
}

// Every entry of the shell's registration for destDir: each written once as
// REG_SZ with its text and terminating zero, but the template's "Filename"
// without it (the length passed is the text's).  Read back, each holds its
// text; Wine, as Windows NT does, stores the zero that the "Filename" write
// left out, since the byte after the text is a zero.  The open commands
// quote the program's path as well as the document.  "Filename" names the
// template where the distribution's template went: the Templates folder,
// since these prefixes have no C:\windows\ShellNew; the file is there.
// Steps named in missing (1 to 11, in the order of writing) must be absent:
// their texts would not fit.
void ExpectRegisteredAt(int line, const std::string& dest, std::initializer_list<int> missing = {},
                        const std::string& displayName = "Tovarin")
{
    const std::string templateFile = TemplatesFolderAt(line) + "\\default.tvd";
    Bytes placed, shipped;
    OkAt(line, ReadBytes(templateFile, &placed) && ReadBytes(kTemplateSource, &shipped) && placed == shipped,
         "%s is not the distribution's template", templateFile.c_str());
    DWORD type = 0;
    const std::string exe = dest + "\\tovarin.exe";
    const struct {
        HKEY root;
        const char* key;
        const char* value;
        std::string text;
        bool terminated;
    } entries[] = {
        {HKEY_CLASSES_ROOT, ".tvd", nullptr, "tvdfile", true},
        {HKEY_CLASSES_ROOT, ".tvd\\ShellNew", "Filename", templateFile, false},
        {HKEY_CLASSES_ROOT, "tvdfile", nullptr, InRunLanguage(IDS_TYPE_DOCUMENT, "Tovarin Document"), true},
        {HKEY_CLASSES_ROOT, "tvdfile\\shell\\open\\command", nullptr, "\"" + exe + "\" \"%1\"", true},
        {HKEY_CLASSES_ROOT, "tvdfile\\DefaultIcon", nullptr, exe + " ,1", true},
        {HKEY_CLASSES_ROOT, ".tvs", nullptr, "tvsfile", true},
        {HKEY_CLASSES_ROOT, "tvsfile", nullptr, InRunLanguage(IDS_TYPE_SETTINGS, "Tovarin Setup"), true},
        {HKEY_CLASSES_ROOT, "tvsfile\\shell\\open\\command", nullptr, "\"" + exe + "\" \"%1\"", true},
        {HKEY_CLASSES_ROOT, "tvsfile\\DefaultIcon", nullptr, exe + " ,2", true},
        {HKEY_LOCAL_MACHINE, kAppPaths, nullptr, exe, true},
        {HKEY_LOCAL_MACHINE, kAppPaths, "Path", dest, true},
    };
    const size_t count = sizeof entries / sizeof entries[0];
    std::vector<SetValueCall> calls = SetValueCalls();
    // The Add/Remove Programs entry: whole (9 values) before the copy, its
    // size after the shell's entries.  Checked by name and set aside.
    const std::string removal = "\"" + dest + "\\tvremove.exe\"";
    const struct {
        size_t at;
        const char* name;
        std::string data;   // empty: not looked at
    } arp[] = {
        {0, "DisplayName", displayName + '\0'},
        {1, "UninstallString", removal + '\0'},
        {2, "InstallLocation", dest + '\0'},
        {6, "QuietUninstallString", removal + " /quiet" + '\0'},
        {7, "NoModify", std::string("\1\0\0\0", 4)},
        {8, "NoRepair", std::string("\1\0\0\0", 4)},
        {9, "EstimatedSize", ""},
    };
    OkAt(line, calls.size() >= 10, "setup.exe wrote %u registry values, expected the 10 of Add/Remove Programs too",
         (unsigned)calls.size());
    if (calls.size() >= 10) {
        for (const auto& a : arp) {
            const SetValueCall& c = a.at < 9 ? calls[a.at] : calls.back();
            OkAt(line, c.name == a.name && (a.data.empty() || c.data == a.data), "Add/Remove Programs value %u is "
                 "%s \"%s\", expected %s \"%s\"", (unsigned)a.at, c.name.c_str(), Printable(c.data).c_str(), a.name,
                 Printable(a.data).c_str());
        }
        calls.pop_back();
        calls.erase(calls.begin(), calls.begin() + 9);
    }
    OkAt(line, calls.size() == count - missing.size(), "setup.exe wrote %u registry values, expected %u (is the spy "
         "library in place?)", (unsigned)calls.size(), (unsigned)(count - missing.size()));
    for (size_t i = 0, call = 0; i < count; i++) {
        const auto& e = entries[i];
        const char* name = e.value ? e.value : "(unnamed)";
        std::string stored;
        bool present = QueryValue(e.root, e.key, e.value, &type, &stored);
        if (std::find(missing.begin(), missing.end(), (int)i + 1) != missing.end()) {
            OkAt(line, !present, "step %u, %s of %s, was written: \"%s\"", (unsigned)i + 1, name, e.key,
                 Printable(stored).c_str());
            continue;
        }
        std::string written = e.terminated ? e.text + '\0' : e.text;
        if (call < calls.size()) {
            const SetValueCall& c = calls[call++];
            OkAt(line, c.name == name && c.type == REG_SZ && c.data == written,
                 "step %u wrote %s, type %lu, %u bytes \"%s\"; expected %s of %s, REG_SZ, %u bytes \"%s\"",
                 (unsigned)i + 1, c.name.c_str(), c.type, (unsigned)c.data.size(), Printable(c.data).c_str(), name,
                 e.key, (unsigned)written.size(), Printable(written).c_str());
        }
        if (!present) {
            OkAt(line, false, "no value %s of %s", name, e.key);
            continue;
        }
        OkAt(line, type == REG_SZ && stored == e.text + '\0', "%s of %s holds type %lu, %u bytes \"%s\"; expected "
             "REG_SZ \"%s\"", name, e.key, type, (unsigned)stored.size(), Printable(stored).c_str(),
             e.text.c_str());
    }
    OkAt(line, !KeyExists(HKEY_CLASSES_ROOT, ".tvs\\ShellNew"), ".tvs has a ShellNew key");
}
#define ExpectRegistered(...) ExpectRegisteredAt(__LINE__, __VA_ARGS__)

#define ExpectNothingRegistered() ExpectNothingRegisteredAt(__LINE__)
void ExpectNothingRegisteredAt(int line)
{
    for (const char* key : {".tvd", "tvdfile", ".tvs", "tvsfile"})
        OkAt(line, !KeyExists(HKEY_CLASSES_ROOT, key), "HKEY_CLASSES_ROOT\\%s was written", key);
    OkAt(line, !KeyExists(HKEY_LOCAL_MACHINE, kAppPaths), "the App Paths entry was written");
}

// ---- Wine's Program Manager: groups as folders of the Start Menu ------------------

std::string ProgramsFolder()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, path);
    return path;
}

} // namespace

std::string LinkTarget(const std::string& path)
{
    std::string target;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char text[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0)))
            target = text;
        file->Release();
    }
    link->Release();
    return target;
}

namespace {


// ---- The 3D-controls library ------------------------------------------------------

// The system directory of setup.exe, which the driver shares: system32 holds
// 32-bit libraries in a 32-bit prefix and 64-bit ones in a 64-bit prefix
// (where the 32-bit ones live in syswow64).  So the 64-bit twin replaces
// the 64-bit test build in the 64-bit system directory.
const char kSystemCtl3d[] = "C:\\windows\\system32\\ctl3d32.dll";
#ifdef _WIN64
const WORD kOwnMachine = IMAGE_FILE_MACHINE_AMD64;
#else
const WORD kOwnMachine = IMAGE_FILE_MACHINE_I386;
#endif

// The machine field of a PE image's COFF header, 0 when it is none.
WORD PeMachine(const Bytes& image)
{
    if (image.size() < 0x40)
        return 0;
    DWORD pe = image[0x3c] | image[0x3d] << 8 | image[0x3e] << 16 | (DWORD)image[0x3f] << 24;
    if (pe > image.size() - 6 || memcmp(&image[pe], "PE\0\0", 4) != 0)
        return 0;
    return (WORD)(image[pe + 4] | image[pe + 5] << 8);
}
const char kCtl3dCalls[] = "C:\\ctl3d-calls.txt";

std::string VariantPath(const char* variant)
{
    return std::string("C:\\ctl3d\\") + variant + ".dll";
}

// setup.exe's Windows version and its use of a native ctl3d32.dll, both as
// Wine's settings for that program alone.  Without the override Wine hands
// out its own library for any file of that name: it loads its own, and the
// version of a ctl3d32.dll beside setup.exe reads as none.  (The override
// must be in the registry: WINEDLLOVERRIDES set here does not reach the
// process that the driver starts.)
void RunSetupAsAt(int line, const char* version)
{
    const struct {
        const char* key;
        const char* name;
        const char* data;
    } settings[] = {
        {"Software\\Wine\\AppDefaults\\setup.exe", "Version", version},
        {"Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides", "ctl3d32", "native,builtin"},
    };
    for (const auto& setting : settings) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, setting.key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
                != ERROR_SUCCESS
            || RegSetValueExA(key, setting.name, 0, REG_SZ, (const BYTE*)setting.data,
                              (DWORD)strlen(setting.data) + 1) != ERROR_SUCCESS)
            FailAt(line, "cannot set %s of %s", setting.name, setting.key);
        RegCloseKey(key);
    }
}
#define RunSetupAs(version) RunSetupAsAt(__LINE__, (version))

// Puts the spy library into the system directory (see ExpectRegistered).
void SpyOnRegistryAt(int line)
{
    RunSetupAsAt(line, "nt40");
    CopyIntoAt(line, "C:\\ctl3d\\spy.dll", "C:\\windows\\system32\\ctl3d32.dll");
    RemoveFileAt(line, kRegistryCalls);
}
#define SpyOnRegistry() SpyOnRegistryAt(__LINE__)

std::vector<std::string> Ctl3dCalls()
{
    Bytes bytes;
    ReadBytes(kCtl3dCalls, &bytes);
    std::vector<std::string> calls;
    std::string text(bytes.begin(), bytes.end());
    for (size_t at = 0, end; at < text.size(); at = end + 2) {
        end = text.find("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        calls.push_back(text.substr(at, end - at));
    }
    return calls;
}

std::vector<std::string> Calls(const char* variant, std::initializer_list<const char*> entries)
{
    std::vector<std::string> calls;
    if (variant)
        for (const char* entry : entries)
            calls.push_back(std::string(variant) + " " + entry);
    return calls;
}

struct Ctl3dCase {
    const char* name;
    const char* system;    // the variant in the system directory; null: Wine's own library
    const char* source;    // the variant beside setup.exe; null: none
    bool copied;           // whether the source replaces the system copy
};

Bytes wineCtl3d;

// Runs setup.exe as Windows NT to its first page, checks the system copy and
// which library was called, then cancels.
void RunCtl3dCase(const Ctl3dCase& c)
{
    SetCase(c.name);
    Bytes system = wineCtl3d, source;
    if (c.system && !ReadBytes(VariantPath(c.system), &system))
        fail("no %s: the variants are made with the driver", VariantPath(c.system).c_str());
    WriteBytes(kSystemCtl3d, system.data(), system.size());
    RemoveFile("A:\\ctl3d32.dll");
    if (c.source) {
        CopyInto(VariantPath(c.source), "A:\\ctl3d32.dll");
        ReadBytes("A:\\ctl3d32.dll", &source);
    }
    RemoveFile(kCtl3dCalls);
    StartSetup("");
    HWND page = NeedDialog(IDD_DESTINATION);
    Bytes now;
    ReadBytes(kSystemCtl3d, &now);
    ok(now == (c.copied ? source : system), "the system copy %s", now == source ? "was replaced" : "was kept");
    char systemDir[MAX_PATH];
    UINT length = GetSystemDirectoryA(systemDir, sizeof systemDir);
    ok(length > 0 && length < sizeof systemDir && lstrcmpiA(systemDir, "C:\\windows\\system32") == 0,
       "the system directory is %s", systemDir);
    if (c.copied)
        ok(PeMachine(now) == kOwnMachine, "the library in the system directory is for machine %04x, expected %04x",
           PeMachine(now), kOwnMachine);
    const char* loaded = c.copied ? c.source : c.system;
    std::vector<std::string> expected = Calls(loaded, {"Ctl3dRegister", "Ctl3dAutoSubclass"});
    ok(Ctl3dCalls() == expected, "calls %s, expected %s", Join(Ctl3dCalls()).c_str(), Join(expected).c_str());
    CancelSetup(page);
    expected = Calls(loaded, {"Ctl3dRegister", "Ctl3dAutoSubclass", "Ctl3dUnregister"});
    ok(Ctl3dCalls() == expected, "calls %s at the end, expected %s", Join(Ctl3dCalls()).c_str(),
       Join(expected).c_str());
}

void RunCtl3dCases(const Ctl3dCase* cases, size_t count)
{
    WriteDistribution(1024);
    RunSetupAs("nt40");
    if (!ReadBytes(kSystemCtl3d, &wineCtl3d))
        fail("no %s in the prefix", kSystemCtl3d);
    for (size_t i = 0; i < count; i++)
        RunCtl3dCase(cases[i]);
    SetCase(nullptr);
}

// ---- Scenarios: the program-group page ------------------------------------------------

// The page lists the stand-in's groups sorted, without empty lines or the
// text after the last line end, adds the default name and selects it;
// typing and selecting keep the name and the list in step; a name that
// would break the commands keeps OK disabled; cancel sends nothing and
// registers nothing.
void GroupPage()
{
    WriteDistribution(1024);
    SpyOnRegistry();
    StartStandIn("Zeta\r\nAccessories\r\n\r\nMain\r\nGames\r\nnot ended");
    HWND page = NeedGroupPage("C:\\Tovarin", false);
    ExpectGroupPage(page, std::vector<std::string>({"Accessories", "Games", "Main", kDefaultGroup, "Zeta"}), 3,
                    kDefaultGroup);
    ok(Enabled(page, IDOK), "OK is disabled on the default name");
    Shot("group");

    SetText(page, IDC_GROUP_EDIT, "mAIN");
    ok(ListSelection(page, IDC_GROUP_LIST) == 2, "\"mAIN\" selects item %d, expected 2 (Main)",
       ListSelection(page, IDC_GROUP_LIST));
    ok(ControlText(page, IDC_GROUP_EDIT) == "mAIN", "the typed name became \"%s\"",
       ControlText(page, IDC_GROUP_EDIT).c_str());
    SetText(page, IDC_GROUP_EDIT, "Brand New");
    ok(ListSelection(page, IDC_GROUP_LIST) == -1, "a new name leaves item %d selected",
       ListSelection(page, IDC_GROUP_LIST));
    SelectListItem(page, IDC_GROUP_LIST, 0);
    ok(Soon([&] { return ControlText(page, IDC_GROUP_EDIT) == "Accessories"; }),
       "selecting Accessories leaves the name \"%s\"", ControlText(page, IDC_GROUP_EDIT).c_str());
    ok(ListSelection(page, IDC_GROUP_LIST) == 0, "the selection moved to %d", ListSelection(page, IDC_GROUP_LIST));

    static const struct {
        const char* name;
        bool usable;
    } names[] = {
        {"Say \"Hi\"", false}, {"[Evil]", false}, {"Group ]", false}, {"Group [", false}, {"Mended", true},
        {"", true}, {"Quote\"", false}, {kDefaultGroup, true},
    };
    for (const auto& n : names) {
        SetText(page, IDC_GROUP_EDIT, n.name);
        ok(Enabled(page, IDOK) == n.usable, "OK is %s for \"%s\"", Enabled(page, IDOK) ? "enabled" : "disabled",
           n.name);
    }
    Type(page, IDC_GROUP_EDIT, "\"");
    ok(!Enabled(page, IDOK), "OK stays enabled after typing a double quote");
    Type(page, IDC_GROUP_EDIT, "\b");
    ok(Enabled(page, IDOK), "OK stays disabled after removing the double quote");

    Click(page, IDCANCEL);
    Answer(MSG_CONFIRM_CANCEL, 2, page);
    ok(FindDialog(IDD_GROUP) == page && FindDialog(IDD_PANEL_GROUP), "the page or its panel went on declining");
    ok(ControlText(page, IDC_GROUP_EDIT) == kDefaultGroup, "the name changed to \"%s\" on declining",
       ControlText(page, IDC_GROUP_EDIT).c_str());
    CancelSetup(page);
    ExpectStandInLog(kGroupRequest);
    ExpectNothingRegistered();
    // The Add/Remove Programs entry as it was written before the copy,
    // whole but for the size: the cancelled installation can be removed,
    // quietly too.
    std::vector<std::string> written;
    for (const SetValueCall& c : SetValueCalls())
        written.push_back(c.name);
    ok(written == std::vector<std::string>({"DisplayName", "UninstallString", "InstallLocation", "DisplayIcon",
                                            "DisplayVersion", "Publisher", "QuietUninstallString", "NoModify",
                                            "NoRepair"}),
       "setup.exe wrote the registry values %s", Join(written).c_str());
    StopStandIn();
}

// The commands of one installation, exactly and in order, with the
// conversation renewed where it must be; the registry entries for the
// destination; Wine's own server made no group.
struct CommandCase {
    const char* dest;
    bool guide;
    const char* groups;       // the stand-in's answer
    const char* typed;        // typed over the preselected name; null: keep it
    const char* group;        // the name in the commands
    const char* app;          // the item paths as sent
    const char* readme;
    const char* guidePath;
    bool listed;              // the group was Program Manager's: the removal keeps it
    const char* typedDest = nullptr;     // what is typed, when it is another spelling of dest
    const char* earlierEntry = nullptr;  // an installation's entry "Tovarin" for this other directory
};

const CommandCase kBlankCase = {
    "C:\\Program Files\\Tovarin", true, "Accessories\r\nMain\r\n", nullptr, kDefaultGroup,
    "\"c:\\program files\\tovarin\\tovarin.exe\"", "\"c:\\program files\\tovarin\\readme.wri\"",
    "\"c:\\program files\\tovarin\\guide\\guide.hlp\"", false};
const CommandCase kRootCase = {
    "D:\\", false, "Main\r\n", "My Group", "My Group", "\"d:\\\\tovarin.exe\"", "\"d:\\\\readme.wri\"", nullptr, false};
const CommandCase kCapitalsCase = {
    "C:\\TOVARIN\\Apps", true, "Accessories\r\nTOVARIN95 demo\r\n", nullptr, "TOVARIN95 demo",
    "\"c:\\tovarin\\apps\\tovarin.exe\"", "\"c:\\tovarin\\apps\\readme.wri\"",
    "\"c:\\tovarin\\apps\\guide\\guide.hlp\"", true};
// Unquoted, the bracket would end the command and the rest would reach
// Program Manager as commands of its own; the comma and the parentheses
// would split the argument.
const CommandCase kBracketsCase = {
    "C:\\Apps]x,(1)", true, "Main\r\n", nullptr, kDefaultGroup, "\"c:\\apps]x,(1)\\tovarin.exe\"",
    "\"c:\\apps]x,(1)\\readme.wri\"", "\"c:\\apps]x,(1)\\guide\\guide.hlp\"", false};

// A destination with an umlaut (code page 1252), as a German user types it:
// Program Manager gets it lower-cased by the system's rules, the registry as
// typed, and the items' and types' names are German.
const CommandCase kUmlautCase = {
    "C:\\Programme\\\xDC" "bung", true, "Hauptgruppe\r\n", "Tovarin \xDC" "bung", "Tovarin \xDC" "bung",
    "\"c:\\programme\\\xFC" "bung\\tovarin.exe\"", "\"c:\\programme\\\xFC" "bung\\readme.wri\"",
    "\"c:\\programme\\\xFC" "bung\\guide\\guide.hlp\"", false};

// A Japanese system (code page 932): D:\ソフト\表 ends in a second byte of
// 0x5C and the group ゼゾ holds "[" and "]" as second bytes; the commands
// carry them byte for byte, lowered only in their single-byte letters.
#define kSoftHyo "\x83\x5C\x83\x74\x83\x67\\\x95\x5C"
const CommandCase kJapaneseCase = {
    "D:\\" kSoftHyo, true, "Main\r\n", "\x83\x5B\x83\x5D Tovarin", "\x83\x5B\x83\x5D Tovarin",
    "\"d:\\" kSoftHyo "\\tovarin.exe\"", "\"d:\\" kSoftHyo "\\readme.wri\"",
    "\"d:\\" kSoftHyo "\\guide\\guide.hlp\"", false};

// Typed with a doubled backslash, or with "." and ".." parts: Next makes
// it whole, and the files, the record, the registry and the commands all
// name C:\Tovarin\App.
const CommandCase kDoubledBackslashCase = {
    "C:\\Tovarin\\App", false, "Main\r\n", nullptr, kDefaultGroup, "\"c:\\tovarin\\app\\tovarin.exe\"",
    "\"c:\\tovarin\\app\\readme.wri\"", nullptr, false, "C:\\Tovarin\\\\App"};
const CommandCase kDotPartsCase = {
    "C:\\Tovarin\\App", false, "Main\r\n", nullptr, kDefaultGroup, "\"c:\\tovarin\\app\\tovarin.exe\"",
    "\"c:\\tovarin\\app\\readme.wri\"", nullptr, false, "C:\\Tovarin\\.\\App\\..\\App"};

// A second destination beside an installation whose entry is "Tovarin":
// this one's is "Tovarin 2", listed as "Tovarin (D:\Apps]x,(1))", and its
// items carry the destination in their names ("Tovarin (D-Apps)x,(1))":
// an item is a file, and the removal takes no bracket), quoted in the
// commands (the comma and parentheses would end them), so that they leave
// the first installation's items alone.
const CommandCase kSecondDestinationCase = {
    "D:\\Apps]x,(1)", true, "Main\r\n", nullptr, kDefaultGroup, "\"d:\\apps]x,(1)\\tovarin.exe\"",
    "\"d:\\apps]x,(1)\\readme.wri\"", "\"d:\\apps]x,(1)\\guide\\guide.hlp\"", false, nullptr, "C:\\Tovarin"};

#define WriteEntry(key, dest) WriteEntryAt(__LINE__, (key), (dest))
void WriteEntryAt(int line, const std::string& key, const std::string& dest)
{
    const std::string path = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + key;
    const std::string values[][2] = {
        {"DisplayName", "Tovarin"}, {"UninstallString", "\"" + dest + "\\tvremove.exe\""}, {"InstallLocation", dest}};
    HKEY opened;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr)
        != ERROR_SUCCESS)
        FailAt(line, "cannot make %s", path.c_str());
    for (const auto& v : values)
        RegSetValueExA(opened, v[0].c_str(), 0, REG_SZ, (const BYTE*)v[1].c_str(), (DWORD)v[1].size() + 1);
    RegCloseKey(opened);
}

#define ExpectEntry(dest, key, display) ExpectEntryAt(__LINE__, (dest), (key), (display))
void ExpectEntryAt(int line, const std::string& dest, const char* key, const std::string& display)
{
    std::vector<UninstallEntry> entries = EntriesFor(dest);
    OkAt(line, entries.size() == 1 && entries[0].key == key && entries[0].displayName == display,
         "%u Add/Remove Programs entries name %s; expected one, %s \"%s\"", (unsigned)entries.size(),
         dest.c_str(), key, display.c_str());
    for (const UninstallEntry& e : entries)
        Trace("entry %s \"%s\" for %s", e.key.c_str(), e.displayName.c_str(), e.location.c_str());
}

void Commands(const CommandCase& c)
{
    WriteDistribution(1024);
    SpyOnRegistry();
    if (c.earlierEntry)
        WriteEntry("Tovarin", c.earlierEntry);
    StartStandIn(c.groups);
    HWND page = NeedGroupPage(c.typedDest ? c.typedDest : c.dest, c.guide);
    if (c.typed) {
        SetText(page, IDC_GROUP_EDIT, c.typed);
    } else {
        // The default name is listed once: Program Manager's entry when it
        // has one in any letter case, selected, its text in the edit control.
        std::vector<std::string> items = ListItems(page, IDC_GROUP_LIST);
        int selected = ListSelection(page, IDC_GROUP_LIST);
        auto defaults = std::count_if(items.begin(), items.end(),
                                      [](const std::string& item) { return Lower(item) == Lower(kDefaultGroup); });
        ok(defaults == 1 && selected >= 0 && selected < (int)items.size() && items[selected] == c.group,
           "the list %s, item %d selected; expected \"%s\" once and selected", Join(items).c_str(), selected,
           c.group);
        ok(ControlText(page, IDC_GROUP_EDIT) == c.group, "the preselected name is \"%s\", expected \"%s\"",
           ControlText(page, IDC_GROUP_EDIT).c_str(), c.group);
    }
    Finish(page);

    std::string group = c.group, app = c.app, readme = c.readme;
    const std::string dest = c.dest;
    // The items' names, and as they go into the commands: with the
    // destination, quoted, for a second installation.
    std::string names[3] = {"Tovarin", InRunLanguage(IDS_README_ITEM, "Tovarin Read Me"),
                            InRunLanguage(IDS_GUIDE_ITEM, "Tovarin Guide")};
    std::string arguments[3];
    // In a name, the destination has no colon, hyphens for its backslashes
    // and parentheses for its square brackets: an item is a file of the
    // group's folder.
    std::string place;
    for (char ch : dest)
        if (ch != ':')
            place += ch == '\\' ? '-' : ch == '[' ? '(' : ch == ']' ? ')' : ch;
    for (int i = 0; i < 3; i++) {
        if (c.earlierEntry)
            names[i] += " (" + place + ")";
        arguments[i] = c.earlierEntry ? "\"" + names[i] + "\"" : names[i];
    }
    std::vector<std::string> expected = kGroupRequest;
    std::vector<std::string> sent = {
        "connect", "execute [CreateGroup(\"" + group + "\")]", "disconnect",
        "connect", "execute [ShowGroup(\"" + group + "\", 1)]", "disconnect",
        "connect", "execute [DeleteItem(" + arguments[0] + ")]", "execute [DeleteItem(" + arguments[1] + ")]",
        "execute [DeleteItem(" + arguments[2] + ")]",
        "execute [AddItem(" + app + ", " + arguments[0] + ", " + app + ", 0)]", "disconnect",
        "connect", "execute [AddItem(" + readme + ", " + arguments[1] + ", \"write.exe\", 0)]",
    };
    expected.insert(expected.end(), sent.begin(), sent.end());
    if (c.guide) {
        std::string guide = c.guidePath;
        expected.push_back("disconnect");
        expected.push_back("connect");
        expected.push_back("execute [AddItem(" + guide + ", " + arguments[2] + ", " + guide + ", 0)]");
    }
    expected.push_back("disconnect");
    ExpectStandInLog(expected);
    const std::string display = c.earlierEntry ? "Tovarin (" + dest + ")" : "Tovarin";
    ExpectRegistered(dest, {}, display);
    ExpectEntry(dest, c.earlierEntry ? "Tovarin 2" : "Tovarin", display);
    if (c.earlierEntry)
        ExpectEntry(c.earlierEntry, "Tovarin", "Tovarin");
    ok(!DirExists((ProgramsFolder() + "\\" + group).c_str()), "Wine's Program Manager made the group");
    // A group Program Manager listed was there before Setup: the record says
    // so, and the removal leaves it.  The record names the files installed
    // (in lower case by the system's rule, as the copy names them) and the
    // items by their names.
    const std::string in = dest + (EndsInBackslash(dest) ? "" : "\\");
    std::string lowerIn = in;
    CharLowerBuffA(&lowerIn[0], (DWORD)lowerIn.size());
    ok(FileExists((in + "tovarin.exe").c_str()), "tovarin.exe is not in %s", dest.c_str());
    Bytes bytes;
    ok(ReadBytes(in + "tvremove.log", &bytes), "no record was written");
    std::string record(bytes.begin(), bytes.end());
    std::vector<std::string> lines = {"\nGROUP\t" + group + (c.listed ? "\told\r\n" : "\tnew\r\n"),
                                      "\nFILE\t" + lowerIn + "tovarin.exe\t", "\nFILE\t" + lowerIn + "readme.wri\t",
                                      "\nITEM\t" + group + "\t" + names[0] + "\r\n",
                                      "\nITEM\t" + group + "\t" + names[1] + "\r\n",
                                      "\nCODEPAGE\t" + std::to_string(GetACP()) + "\r\n"};
    for (const std::string& line : lines)
        ok(record.find(line) != std::string::npos, "the record has no line %s", Printable(line).c_str());
    StopStandIn();
}

// A destination of 246 characters: the files fit their paths, but the
// quoted application path (260 characters) does not fit its buffer and its
// item is not sent; the quoted read-me path (259) still is.  The open
// commands (265) and so the icons are not registered; the App Paths entry
// (258) is.
void LongDestination()
{
    std::string dest = "C:\\Long Tovarin";
    for (int n = 0; dest.size() < 246; n++)
        dest += "\\level" + std::to_string(n) + "-tovarin-installation-directory";
    dest.resize(246);
    if (dest.back() == '\\')
        dest.back() = 'x';
    WriteDistribution(1024);
    SpyOnRegistry();
    StartStandIn("Main\r\n");
    HWND page = NeedGroupPage(dest, false);
    Finish(page, {"Program Manager did not make the program group or all of its icons.",
                  "Some file types were not registered: double-clicking a Tovarin document may not start Tovarin."});
    ok(FileExists((dest + "\\tovarin.exe").c_str()), "the application was not installed");
    std::string readme = "\"" + Lower(dest) + "\\readme.wri\"";
    std::vector<std::string> expected = kGroupRequest;
    std::vector<std::string> sent = {
        "connect", "execute [CreateGroup(\"Tovarin95 Demo\")]", "disconnect",
        "connect", "execute [ShowGroup(\"Tovarin95 Demo\", 1)]", "disconnect",
        "connect", "execute [DeleteItem(Tovarin)]", "execute [DeleteItem(Tovarin Read Me)]",
        "execute [DeleteItem(Tovarin Guide)]", "disconnect",
        "connect", "execute [AddItem(" + readme + ", Tovarin Read Me, \"write.exe\", 0)]", "disconnect",
    };
    expected.insert(expected.end(), sent.begin(), sent.end());
    ExpectStandInLog(expected);
    ExpectRegistered(dest, {4, 5, 8, 9});
    StopStandIn();
}

// ---- Scenarios: Wine's Program Manager --------------------------------------------

// Wine's server makes the group as a Start Menu folder: the application and
// read-me items, the guide only with its component, each pointing into the
// destination, whose bracket, comma and parentheses stay inside the quoted
// paths; a second installation into the group leaves one of each.  An
// installation into a second destination adds items of its own, named
// with their destination (Wine makes its ':' and '\' a '_'), and leaves
// the first one's.
void WineProgman()
{
    const std::string first = "C:\\Apps]x,(1)\\Tovarin", second = "C:\\Apps]x,(1)\\Second";
    const std::string folder = ProgramsFolder() + "\\" + kDefaultGroup;
    CoInitialize(nullptr);
    WriteDistribution(1024);
    SpyOnRegistry();
    static const struct {
        const std::string& dest;
        bool guide;
        std::vector<std::string> items;
    } runs[] = {
        {first, false, {"Tovarin Read Me.lnk", "Tovarin.lnk"}},
        {first, true, {"Tovarin Guide.lnk", "Tovarin Read Me.lnk", "Tovarin.lnk"}},
        {second, true, {"Tovarin (C-Apps)x,(1)-Second).lnk", "Tovarin Guide (C-Apps)x,(1)-Second).lnk",
                        "Tovarin Guide.lnk", "Tovarin Read Me (C-Apps)x,(1)-Second).lnk", "Tovarin Read Me.lnk",
                        "Tovarin.lnk"}},
    };
    int run = 0;
    for (const auto& r : runs) {
        char label[32];
        snprintf(label, sizeof label, "installation %d", ++run);
        SetCase(label);
        RemoveFile(kRegistryCalls);
        HWND page = NeedGroupPage(r.dest, r.guide);
        // Wine's group request answers an empty line: no group but the default.
        ExpectGroupPage(page, std::vector<std::string>({kDefaultGroup}), 0, kDefaultGroup);
        ClickAt(__LINE__, page, IDOK);
        NeedGoneAt(__LINE__, page);
        HWND finish = NeedDialog(IDD_FINISH);
        if (CloseFolderWindows(kDefaultGroup) == 0)
            Trace("no folder window of the group opened");
        Click(finish, IDOK);
        DWORD code = NeedExit();
        ok(code == 0, "exit code %lu, expected 0", code);
        std::vector<std::string> items = FilesUnder(folder);
        ok(items == r.items, "the group holds %s, expected %s", Join(items).c_str(), Join(r.items).c_str());
        for (const std::string& item : items) {
            const char* tail = item.compare(0, 15, "Tovarin Read Me") == 0 ? "\\readme.wri"
                               : item.compare(0, 13, "Tovarin Guide") == 0 ? "\\guide\\guide.hlp"
                                                                           : "\\tovarin.exe";
            const std::string& dest = item.find('(') != std::string::npos ? second : first;
            std::string target = LinkTarget(folder + "\\" + item);
            ok(Lower(target) == Lower(dest + tail), "%s points to \"%s\", expected %s%s", item.c_str(), target.c_str(),
               dest.c_str(), tail);
        }
        const std::string display = &r.dest == &second ? "Tovarin (" + second + ")" : "Tovarin";
        ExpectRegistered(r.dest, {}, display);
        ExpectEntry(r.dest, &r.dest == &second ? "Tovarin 2" : "Tovarin", display);
    }
    ExpectEntry(first, "Tovarin", "Tovarin");
    SetCase(nullptr);
}

// ---- Scenarios: what Program Manager refuses -------------------------------------------

// A group or item that Program Manager refuses does not stop the
// installation: the registry entries are written, the finish page follows
// and setup.exe ends with 0.  After a refused CreateGroup or ShowGroup no
// item is deleted or added (they act on Program Manager's current group,
// which may be one of the user's); else every command is sent once.
// (Wine's server refuses an AddItem whose file is missing and a DeleteItem
// of an item that is not there; the stand-in refuses what it is told to.)
void GroupRefused()
{
    WriteDistribution(1024);
    SpyOnRegistry();
    const std::vector<std::string> all = {
        "execute [CreateGroup(\"Tovarin95 Demo\")]", "execute [ShowGroup(\"Tovarin95 Demo\", 1)]",
        "execute [DeleteItem(Tovarin)]", "execute [DeleteItem(Tovarin Read Me)]",
        "execute [DeleteItem(Tovarin Guide)]",
        "execute [AddItem(\"c:\\tovarin\\tovarin.exe\", Tovarin, \"c:\\tovarin\\tovarin.exe\", 0)]",
        "execute [AddItem(\"c:\\tovarin\\readme.wri\", Tovarin Read Me, \"write.exe\", 0)]",
    };
    const struct {
        const char* name;
        const char* refused;
        size_t sent;      // how many of all's commands go
        bool undone;      // whether the finish page names the group
    } cases[] = {
        {"the group refused", "CreateGroup\r\nShowGroup", 1, true},
        {"CreateGroup refused", "CreateGroup", 1, true},
        {"ShowGroup refused", "ShowGroup", 2, true},
        {"the items refused", "AddItem", all.size(), true},
        {"only the removal of items that are not there refused", "DeleteItem", all.size(), false},
    };
    // One stand-in for every case: a second one would not answer first.
    StartStandIn("Main\r\n");
    for (const auto& c : cases) {
        SetCase(c.name);
        RemoveFile(kRegistryCalls);
        RefuseCommands(c.refused);
        SkipStandInLog();
        HWND page = NeedGroupPage("C:\\Tovarin", false);
        // A refused DeleteItem of an item that is not there does no harm.
        if (c.undone)
            Finish(page, {"Program Manager did not make the program group or all of its icons."});
        else
            Finish(page);
        std::vector<std::string> executed;
        for (const std::string& record : StandInLog())
            if (record.compare(0, 7, "execute") == 0)
                executed.push_back(record);
        std::vector<std::string> sent(all.begin(), all.begin() + c.sent);
        ok(executed == sent, "the stand-in received:%s\nexpected:%s", Lines(executed).c_str(), Lines(sent).c_str());
        ExpectRegistered("C:\\Tovarin");
    }
    SetCase(nullptr);
    StopStandIn();
}

// ---- Scenarios: the New menu's template --------------------------------------------------

// The "Filename" value of the New menu's template, up to its first zero
// (Wine stores one after the text that setup.exe wrote without it); false
// when there is none.
bool TemplateFilename(std::string* name)
{
    DWORD type = 0;
    if (!QueryValue(HKEY_CLASSES_ROOT, ".tvd\\ShellNew", "Filename", &type, name))
        return false;
    *name = name->c_str();
    return true;
}

#define SetTemplateFilename(text) SetTemplateFilenameAt(__LINE__, (text))
void SetTemplateFilenameAt(int line, const std::string& text)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, ".tvd\\ShellNew", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
            != ERROR_SUCCESS
        || RegSetValueExA(key, "Filename", 0, REG_SZ, (const BYTE*)text.data(), (DWORD)text.size()) != ERROR_SUCCESS)
        FailAt(line, "cannot write the Filename of .tvd\\ShellNew");
    RegCloseKey(key);
}

// The New menu's "Filename" names the template where it went, and the file
// it names opens and holds the distribution's template: the Windows
// directory's ShellNew when there is one, else the user's Templates
// folder, in Windows 95 and NT mode alike.  Without a template in the
// distribution no "Filename" is written: one left by an earlier
// installation stays while its file is there, and goes once it is not.
void RegistryTemplate()
{
    const char kShellNew[] = "C:\\windows\\ShellNew";
    const std::string inShellNew = std::string(kShellNew) + "\\default.tvd";
    const std::string inTemplates = TemplatesFolderAt(__LINE__) + "\\default.tvd";
    StartStandIn("Main\r\n");
    static const struct {
        const char* name;
        const char* version;
        bool shellNew;        // whether C:\windows\ShellNew exists
        bool shipped;         // whether the distribution has the template
        const char* earlier;  // a Filename written before: "shellnew", "gone" or none
        const char* expected; // "shellnew", "templates", "destination" or none
        bool blocked = false; // a directory stands where the template goes in ShellNew
    } cases[] = {
        {"Windows 95, ShellNew", "win95", true, true, nullptr, "shellnew"},
        {"Windows 95, no ShellNew", "win95", false, true, nullptr, "templates"},
        {"NT, ShellNew", "nt40", true, true, nullptr, "shellnew"},
        {"NT, no ShellNew", "nt40", false, true, "gone", "templates"},
        {"no template, the earlier one still there", "nt40", true, false, "shellnew", "shellnew"},
        {"no template, the earlier one gone", "nt40", true, false, "gone", nullptr},
        {"ShellNew cannot take it", "nt40", true, true, nullptr, "destination", true},
    };
    for (const auto& c : cases) {
        SetCase(c.name);
        WriteDistribution(1024, c.shipped);
        RunSetupAs(c.version);
        RemoveFile(inTemplates);
        if (c.shipped && FileExists(inShellNew.c_str()))
            RemoveFile(inShellNew);
        if (c.shellNew)
            MakeDirs(kShellNew);
        else if (DirExists(kShellNew))
            ok(RemoveDirectoryA(kShellNew) != 0, "cannot remove %s", kShellNew);
        if (c.earlier && strcmp(c.earlier, "shellnew") == 0) {
            CopyInto(kTemplateSource, inShellNew);
            SetTemplateFilename(inShellNew);
        } else if (c.earlier) {
            SetTemplateFilename("C:\\gone\\default.tvd");
        }

        if (c.blocked)
            MakeDirs(inShellNew);
        HWND page = NeedGroupPage("C:\\Tovarin", false);
        // A template that the New menu's folder cannot take stays in the
        // destination, and the finish page says where.
        if (c.blocked)
            Finish(page, {"The document template is in c:\\tovarin\\default.tvd, not in the New menu."});
        else
            Finish(page);
        if (c.blocked)
            ok(RemoveDirectoryA(inShellNew.c_str()) != 0, "cannot remove the directory %s", inShellNew.c_str());

        std::string name;
        bool written = TemplateFilename(&name);
        if (!c.expected) {
            ok(!written, "Filename names \"%s\", expected none", name.c_str());
            continue;
        }
        std::string expected = strcmp(c.expected, "shellnew") == 0      ? inShellNew
                               : strcmp(c.expected, "destination") == 0 ? "c:\\tovarin\\default.tvd"
                                                                       : inTemplates;
        ok(written && Lower(name) == Lower(expected), "Filename names \"%s\", expected \"%s\"", name.c_str(), expected.c_str());
        Bytes named, shipped;
        ok(written && ReadBytes(name, &named) && ReadBytes(kTemplateSource, &shipped) && named == shipped,
           "the file that Filename names does not open or is not the template");
    }
    SetCase(nullptr);
    StopStandIn();
}

// ---- The finish page -------------------------------------------------------------------

const char kInstalledText[] = "Tovarin is now installed on your computer.";

#define ExpectPlainFinishPage(page) ExpectPlainFinishPageAt(__LINE__, (page))
void ExpectPlainFinishPageAt(int line, HWND page)
{
    OkAt(line, ControlText(page, IDC_FINISH_HEADING) == kInstalledText, "the finish page says \"%s\"",
         ControlText(page, IDC_FINISH_HEADING).c_str());
    OkAt(line, Visible(page, IDC_FINISH_NOTE) && !Visible(page, IDC_FINISH_UNDONE),
         "the finish page shows %s", Visible(page, IDC_FINISH_UNDONE) ? "its list" : "no note");
    RECT frame = WindowRect(page);
    OkAt(line, frame.bottom - frame.top < 200, "the finish page is %ld pixels high", frame.bottom - frame.top);
}

// True when inner lies wholly inside outer.
bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// ---- Scenarios: the whole road -------------------------------------------------------

// From the please-wait page to the finish page, with a picture of each page
// (build/e2e/shots/whole-road-NN-PAGE.png, shown in the README).
void WholeRoad()
{
    const std::string dest = "C:\\Program Files\\Tovarin";
    WriteDistribution(48u << 20);
    SpyOnRegistry();
    StartStandIn("Accessories\r\nGames\r\nMain\r\nStartUp\r\n");
    StartSetup("");
    NeedDialog(IDD_PLEASE_WAIT);
    Sleep(150);
    ShotNow("please-wait");
    HWND page = NeedDialog(IDD_DESTINATION);
    NeedDialog(IDD_PANEL_DESTINATION);
    SetText(page, IDC_DEST_EDIT, dest.c_str());
    Shot("destination");
    Click(page, IDC_DEST_NEXT);
    Answer(MSG_CREATE_DIR, 1, page);
    NeedDialog(IDD_PANEL_COMPONENTS);
    ChooseComponentsAt(__LINE__, true, "components");
    // The copy of the large file takes a moment: the picture shows it under
    // way (the labels are read without a message, as setup.exe is busy).
    HWND progress = NeedDialogAt(__LINE__, IDD_PROGRESS, kWaitMs);
    HWND source = GetDlgItem(progress, IDC_PROGRESS_SOURCE);
    wchar_t label[MAX_PATH] = L"";
    for (DWORD start = GetTickCount(); GetTickCount() - start < 3000 && IsWindowVisible(progress); Sleep(5)) {
        if (InternalGetWindowText(source, label, MAX_PATH) > 0 && wcsstr(label, L"tovarin.dl_"))
            break;
    }
    Sleep(60);
    ShotNow("copying");
    NeedGone(progress);
    page = NeedDialog(IDD_GROUP);
    NeedDialog(IDD_PANEL_GROUP);
    ExpectGroupPage(page, std::vector<std::string>({"Accessories", "Games", "Main", "StartUp", kDefaultGroup}), 4,
                    kDefaultGroup);
    Shot("group");
    ClickAt(__LINE__, page, IDOK);
    HWND finish = NeedDialog(IDD_FINISH);
    Shot("finish");
    // Nothing was left undone: the page says Tovarin is installed and how
    // to start it, with no list.
    ExpectPlainFinishPage(finish);
    // Only Finish closes the last page.
    PressKey(finish, VK_ESCAPE);
    Sleep(300);
    ok(FindDialog(IDD_FINISH) == finish, "Escape closed the finish page");
    Click(finish, IDOK);
    DWORD code = NeedExit();
    ok(code == 0, "exit code %lu, expected 0", code);
    for (const char* file : {"tovarin.exe", "tovarin.dll", "readme.wri", "GUIDE\\guide.hlp"})
        ok(FileExists((dest + "\\" + file).c_str()), "%s was not installed", file);
    ok(StandInLog().size() == 3 + 18, "the stand-in recorded %u records, expected 21",
       (unsigned)StandInLog().size());
    ExpectRegistered(dest);
    StopStandIn();
}

// A file passed over with Ignore after its source proved damaged: the
// finish page names it instead of saying that Tovarin is installed, and
// grows to hold the list with Finish below it.
void FinishUndone()
{
    const std::string dest = "C:\\Tovarin";
    WriteDistribution(1024);
    // The library's source compressed, then cut to a third: it cannot give
    // the size that the catalogue lists.
    Bytes library(1024, 'b'), damaged;
    if (SzddCompress(library.data(), library.size(), 'l', &damaged) != kSzddOk)
        fail("cannot compress the library");
    damaged.resize(kSzddHeaderBytes + (damaged.size() - kSzddHeaderBytes) / 3);
    WriteBytes("A:\\tovarin.dl_", damaged.data(), damaged.size());
    StartStandIn("Main\r\n");
    MakeDirs(dest);
    StartSetup("");
    HWND page = NeedDialog(IDD_DESTINATION);
    SetText(page, IDC_DEST_EDIT, dest.c_str());
    Click(page, IDC_DEST_NEXT);
    NeedGone(page);
    ChooseComponentsAt(__LINE__, true, nullptr);
    Answer(MSG_EXPAND_FAILED, ANSWER_IGNORE_FILE, nullptr);
    page = NeedDialog(IDD_GROUP);
    Click(page, IDOK);
    NeedGone(page);

    HWND finish = NeedDialog(IDD_FINISH);
    Shot("finish-undone");
    ExpectPlaced(finish, 1);
    std::string heading = ControlText(finish, IDC_FINISH_HEADING);
    ok(heading.find("installed") == std::string::npos && !heading.empty(),
       "the finish page says \"%s\" although a file was not installed", heading.c_str());
    ok(!Visible(finish, IDC_FINISH_NOTE), "the note on starting Tovarin still shows");
    std::vector<std::string> lines = ListItems(finish, IDC_FINISH_UNDONE);
    ok(Visible(finish, IDC_FINISH_UNDONE) && lines == std::vector<std::string>({"Not installed: tovarin.dll"}),
       "the finish page lists %s", Join(lines).c_str());
    RECT client;
    GetClientRect(finish, &client);
    MapWindowPoints(finish, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT list = WindowRect(Control(finish, IDC_FINISH_UNDONE)), button = WindowRect(Control(finish, IDOK));
    ok(Inside(list, client) && Inside(button, client) && button.top > list.bottom,
       "list (%ld..%ld) and Finish (%ld..%ld) do not fit the page (%ld..%ld) one below the other", list.top,
       list.bottom, button.top, button.bottom, client.top, client.bottom);
    // Only Finish closes it, as ever.
    PressKey(finish, VK_ESCAPE);
    Sleep(300);
    ok(FindDialog(IDD_FINISH) == finish, "Escape closed the finish page");
    Click(finish, IDOK);
    DWORD code = NeedExit();
    ok(code == 0, "exit code %lu, expected 0", code);
    ok(!FileExists((dest + "\\tovarin.dll").c_str()) && FileExists((dest + "\\tovarin.exe").c_str()),
       "the files installed are not the ones the page says");
    StopStandIn();
}

// An installation that cannot be recorded, its tvremove.log held open by
// another program without a share for writing, read-only, or not a record
// (the user's own notes): Setup writes into none of them, puts no removal
// program beside them and lists nothing in Add/Remove Programs for the
// destination, and the finish page says that Tovarin cannot be removed
// automatically.  An earlier installation's entry for the same destination
// stays as it was: the record it promises to read is still there.
void FinishUnrecorded()
{
    char signature[64];
    const std::string record(signature, FormatRecordSignature(signature, sizeof signature));
    const struct {
        const char* name;
        std::string log;
        bool held, readOnly, earlierEntry;
    } cases[] = {
        {"held open", record, true, false, false},
        {"read-only", record, false, true, false},
        {"not a record", "the user's own notes\r\n", false, false, false},
        {"read-only, an earlier installation's entry", record, false, true, true},
    };
    WriteDistribution(1024);
    StartStandIn("Main\r\n");
    int n = 0;
    for (const auto& c : cases) {
        SetCase(c.name);
        const std::string dest = "C:\\Unrecorded\\" + std::to_string(++n), log = dest + "\\tvremove.log";
        MakeDirs(dest);
        WriteBytes(log, c.log.data(), c.log.size());
        if (c.readOnly)
            SetReadOnly(log);
        HANDLE held = c.held ? CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr)
                             : INVALID_HANDLE_VALUE;
        ok(!c.held || held != INVALID_HANDLE_VALUE, "cannot hold %s open (error %lu)", log.c_str(), GetLastError());
        if (c.earlierEntry)
            WriteEntry("Tovarin", dest);
        HWND page = NeedGroupPage(dest, false);
        // Its text in the run's language, from setup.exe, which the driver
        // reads once it has started it.
        Finish(page, {InRunLanguage(IDS_UNDONE_RECORD, "Setup could not keep a record of this installation, so "
                                                       "Tovarin cannot be removed automatically.")});
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        Bytes after;
        ok(ReadBytes(log, &after) && std::string(after.begin(), after.end()) == c.log, "Setup wrote into %s",
           log.c_str());
        ok(FileExists((dest + "\\tovarin.exe").c_str()), "tovarin.exe was not installed");
        ok(!FileExists((dest + "\\tvremove.exe").c_str()), "a removal program without a record was written");
        std::vector<UninstallEntry> entries = EntriesFor(dest);
        if (c.earlierEntry)
            ok(entries.size() == 1 && entries[0].key == "Tovarin" && entries[0].quietCommand.empty(),
               "the earlier installation's entry did not stay as it was (%u entries)", (unsigned)entries.size());
        else
            ok(entries.empty(), "Add/Remove Programs lists %s for %s", entries.empty() ? "" : entries[0].key.c_str(),
               dest.c_str());
    }
    SetCase(nullptr);
    StopStandIn();
}

// ---- Scenarios: the 3D-controls library -----------------------------------------------

// Versions compare field by field as numbers, from the version resource's
// fixed part: 2.31 beats 2.26.1, which beats 2.26; any version beats Wine's
// own library (no version resource, 0).
void Ctl3dReplaced()
{
    static const Ctl3dCase cases[] = {
        {"2.31.000 over Wine's own", nullptr, "v2.31.000", true},
        {"2.31.000 over 2.26", "v2.26", "v2.31.000", true},
        {"2.31 over 2.26.1", "v2.26.1", "v2.31", true},
        {"2.26.1 over 2.26", "v2.26", "v2.26.1", true},
        {"none beside setup.exe", "v2.26", nullptr, false},
    };
    RunCtl3dCases(cases, sizeof cases / sizeof cases[0]);
}

// An older, equal or unversioned library beside setup.exe never replaces the
// system copy: 2.26.1 is older than 2.31 (whose digits, 231, are fewer), and
// 2.31 is 2.31.000.
void Ctl3dKept()
{
    static const Ctl3dCase cases[] = {
        {"2.26.1 not over 2.31", "v2.31", "v2.26.1", false},
        {"2.26 not over 2.31.000", "v2.31.000", "v2.26", false},
        {"2.31 not over 2.31.000", "v2.31.000", "v2.31", false},
        {"unversioned not over Wine's own", nullptr, "unversioned", false},
    };
    RunCtl3dCases(cases, sizeof cases / sizeof cases[0]);
}

// The temporary files of the write path in the system directory: new
// contents waiting ("~tvNNNN.tmp") and earlier files set aside ("NAME.~tv").
std::vector<std::string> SystemTemporaries()
{
    std::vector<std::string> found;
    for (const char* pattern : {"C:\\windows\\system32\\~tv????.tmp", "C:\\windows\\system32\\*.~tv"}) {
        WIN32_FIND_DATAA entry;
        HANDLE listing = FindFirstFileA(pattern, &entry);
        if (listing == INVALID_HANDLE_VALUE)
            continue;
        do
            found.push_back(entry.cFileName);
        while (FindNextFileA(listing, &entry));
        FindClose(listing);
    }
    return found;
}

// Runs Wine's restart, which carries out the renames that waited for it.
void RestartWindowsAt(int line)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char commandLine[] = "wineboot.exe -r";
    if (!CreateProcessA("C:\\windows\\system32\\wineboot.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                        "C:\\", &startup, &process))
        FailAt(line, "cannot start wineboot -r (error %lu)", GetLastError());
    DWORD waited = WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (waited != WAIT_OBJECT_0 || code != 0)
        FailAt(line, "wineboot -r did not end well (wait %lu, exit code %lu)", waited, code);
}
#define RestartWindows() RestartWindowsAt(__LINE__)

// The system's ctl3d32.dll held open, as a running program holds it: a
// handle without FILE_SHARE_DELETE (Wine refuses to replace a file with any
// handle open, and so does Windows NT without that share).  setup.exe on NT
// cannot put 2.31 in place of 2.26 then: the old library stays and is
// loaded, and the new one waits under a temporary name for the next start.
// After Wine's restart 2.31 is in place and no temporary file is left.
void Ctl3dAtRestart()
{
    WriteDistribution(1024);
    RunSetupAs("nt40");
    StartStandIn("Main\r\n");
    Bytes oldLibrary, newLibrary;
    if (!ReadBytes(VariantPath("v2.26"), &oldLibrary) || !ReadBytes(VariantPath("v2.31"), &newLibrary))
        fail("no test variants of ctl3d32.dll in C:\\ctl3d");
    WriteBytes(kSystemCtl3d, oldLibrary.data(), oldLibrary.size());
    CopyInto(VariantPath("v2.31"), "A:\\ctl3d32.dll");
    RemoveFile(kCtl3dCalls);
    ok(SystemTemporaries().empty(), "the system directory holds temporary files before setup.exe ran: %s",
       Join(SystemTemporaries()).c_str());

    HANDLE held = CreateFileA(kSystemCtl3d, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        fail("cannot open %s (error %lu)", kSystemCtl3d, GetLastError());
    HWND page = NeedGroupPage("C:\\Tovarin", false);
    std::vector<std::string> expected = Calls("v2.26", {"Ctl3dRegister", "Ctl3dAutoSubclass"});
    ok(Ctl3dCalls() == expected, "calls %s, expected %s", Join(Ctl3dCalls()).c_str(), Join(expected).c_str());
    Finish(page, {"Restart Windows to finish: CTL3D32.DLL is replaced when Windows starts next."});
    CloseHandle(held);
    StopStandIn();

    Bytes now;
    ReadBytes(kSystemCtl3d, &now);
    ok(now == oldLibrary, "the system copy %s before the restart", now == newLibrary ? "was replaced" : "changed");
    std::vector<std::string> waiting = SystemTemporaries();
    Bytes pending;
    ok(waiting.size() == 1 && ReadBytes("C:\\windows\\system32\\" + waiting[0], &pending) && pending == newLibrary,
       "the new library does not wait beside the old one: temporary files %s", Join(waiting).c_str());

    RestartWindows();
    ReadBytes(kSystemCtl3d, &now);
    ok(now == newLibrary, "the system copy %s after the restart", now == oldLibrary ? "is still the old one" : "changed");
    ok(SystemTemporaries().empty(), "temporary files are left in the system directory: %s",
       Join(SystemTemporaries()).c_str());
}

// Ctl3dAutoSubclass failing after a good Ctl3dRegister ends the program
// with 0 before any page, after box 11 has said why.
void Ctl3dFailing()
{
    WriteDistribution(1024);
    RunSetupAs("nt40");
    CopyInto(VariantPath("failing"), "A:\\ctl3d32.dll");
    StartSetup("");
    NeedRunStopped("CTL3D32.DLL", "stopped");
    std::vector<std::string> expected = Calls("failing", {"Ctl3dRegister", "Ctl3dAutoSubclass"});
    ok(Ctl3dCalls() == expected, "calls %s, expected %s", Join(Ctl3dCalls()).c_str(), Join(expected).c_str());
}

// Windows 95: the library beside setup.exe is neither copied nor loaded, and
// the wizard runs.
void Ctl3dWindows95()
{
    WriteDistribution(1024);
    RunSetupAs("win95");
    Bytes before, after;
    ReadBytes(kSystemCtl3d, &before);
    CopyInto(VariantPath("v2.31.000"), "A:\\ctl3d32.dll");
    StartSetup("");
    HWND page = NeedDialog(IDD_DESTINATION);
    ReadBytes(kSystemCtl3d, &after);
    ok(after == before, "the system copy was replaced");
    ok(Ctl3dCalls().empty(), "the library was called: %s", Join(Ctl3dCalls()).c_str());
    CancelSetup(page);
    ok(Ctl3dCalls().empty(), "the library was called: %s", Join(Ctl3dCalls()).c_str());
}

} // namespace

void StartInstallingAt(int line, const std::string& dest, uint32_t libraryBytes, bool makeDest)
{
    WriteDistributionAt(line, libraryBytes);
    StartCopyingAt(line, dest, true, makeDest);
}

const Scenario kShellScenarios[] = {
    {"group-page", GroupPage},
    {"group-commands-blank", [] { Commands(kBlankCase); }},
    {"group-commands-root", [] { Commands(kRootCase); }},
    {"group-commands-capitals", [] { Commands(kCapitalsCase); }},
    {"group-commands-brackets", [] { Commands(kBracketsCase); }},
    {"group-commands-umlaut-de-96", [] { Commands(kUmlautCase); }},
    {"group-commands-doubled-backslash", [] { Commands(kDoubledBackslashCase); }},
    {"group-commands-dot-parts", [] { Commands(kDotPartsCase); }},
    {"group-commands-second-destination", [] { Commands(kSecondDestinationCase); }},
    {"group-commands-ja", [] {
         NeedCodePage(932);
         Commands(kJapaneseCase);
     }},
    {"group-long-destination", LongDestination},
    {"group-wine-progman", WineProgman},
    {"group-refused", GroupRefused},
    {"registry-template", RegistryTemplate},
    {"whole-road", WholeRoad},
    {"finish-undone", FinishUndone},
    {"finish-unrecorded", FinishUnrecorded},
    {"ctl3d-replaced", Ctl3dReplaced},
    {"ctl3d-kept", Ctl3dKept},
    {"ctl3d-at-restart", Ctl3dAtRestart},
    {"ctl3d-failing", Ctl3dFailing},
    {"ctl3d-windows95", Ctl3dWindows95},
    {nullptr, nullptr},
};
