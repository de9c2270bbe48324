// The removal program, tvremove.exe, on installations the scenarios make
// by hand: a destination with Setup's files, the user's own document, the
// write path's leftovers, a record naming what "Setup" did, the registry
// entries with the Add/Remove Programs entry, the template, and for the
// whole removal a Program Manager group made over DDE in Wine's own
// Program Manager.  Then the removal runs (through Wine's own Add/Remove
// Programs, "uninstaller --remove Tovarin", or started as its quiet form
// would be) and the scenario checks what the user finds afterwards.
//
// The removal's dialogs are those of tvremove.exe: its copy in the
// temporary directory does the work, so the driver watches every process
// of that name (WatchProgram).
#include "tests/e2e/driver/driver.h"

#include <ddeml.h>
#include <shlobj.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "install/record.h"
#include "integration/registrytext.h"
#include "resources/resource.h"
#include "resources/tvremove.h"
#include "remove/plan.h"
#include "tests/e2e/driver/fit.h"
#include "tests/e2e/driver/scenarios.h"

namespace {

const char kProgram[] = "C:\\tvremove.exe";   // put there by run-scenario
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tovarin";
const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tovarin.exe";
const char kGroup[] = "Tovarin Removal Test";
const DWORD kRemovalMs = 30000;

std::string Join(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ", ") + item;
    return "[" + out + "]";
}

std::string WindowsDir()
{
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, sizeof path);
    return path;
}

std::string ProgramsFolder()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, path);
    return path;
}

std::string TempCopy()
{
    char path[MAX_PATH] = "";
    GetTempPathA(sizeof path, path);
    return std::string(path) + "tvremove.exe";
}

// ---- The registry ------------------------------------------------------------------

void SetValueAt(int line, HKEY root, const char* key, const char* name, const std::string& data)
{
    HKEY opened;
    if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr) != ERROR_SUCCESS ||
        RegSetValueExA(opened, name, 0, REG_SZ, (const BYTE*)data.c_str(), (DWORD)data.size() + 1) != ERROR_SUCCESS)
        FailAt(line, "cannot set %s of %s", name, key);
    RegCloseKey(opened);
}
#define SetValue(root, key, name, data) SetValueAt(__LINE__, (root), (key), (name), (data))

bool KeyExists(HKEY root, const char* key)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

bool ValueExists(HKEY root, const char* key, const char* name)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    bool there = RegQueryValueExA(opened, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return there;
}

// ---- Program Manager ---------------------------------------------------------------

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

void ProgmanAt(int line, const std::string& commands)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        FailAt(line, "no DDEML");
    HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    // Wine's desktop may be busy a moment after a removal's DeleteGroup
    // (the shell deletes the folder and its window).
    HCONV conversation = nullptr;
    for (DWORD start = GetTickCount(); !conversation && GetTickCount() - start < 15000; Sleep(kPollMs))
        conversation = DdeConnect(instance, name, name, nullptr);
    if (!conversation) {
        struct Lister {
            static BOOL CALLBACK List(HWND w, LPARAM)
            {
                char title[128] = "", name[64] = "";
                DWORD pid = 0;
                GetWindowTextA(w, title, sizeof title);
                GetClassNameA(w, name, sizeof name);
                GetWindowThreadProcessId(w, &pid);
                printf("  window %p class %s title \"%s\" pid %lu visible %d hung? %d\n", (void*)w, name, title, pid,
                       IsWindowVisible(w), SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, nullptr) == 0);
                return TRUE;
            }
        };
        printf("desktop window %p\n", (void*)GetDesktopWindow());
        EnumWindows(Lister::List, 0);
        fflush(stdout);
        FailAt(line, "no Program Manager answers");
    }
    std::vector<BYTE> bytes(commands.begin(), commands.end());
    bytes.push_back(0);
    HDDEDATA done = DdeClientTransaction(bytes.data(), (DWORD)bytes.size(), conversation, nullptr,
                                         0, XTYP_EXECUTE, 5000, nullptr);
    OkAt(line, done != nullptr, "Program Manager refused %s", commands.c_str());
    DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, name);
    DdeUninitialize(instance);
}

// ---- A hand-made installation -------------------------------------------------------

struct Installation {
    std::string dest;
    std::string record;         // the record's text
    std::string templatePath;   // the document template in ShellNew
    std::string group;          // the Program Manager group, or ""
};

std::string Line(RecordKind kind, int flag, const std::string& a, const std::string& b = "",
                 const std::string& c = "", const std::string& d = "")
{
    RecordLine line = {kind, flag, {a.c_str(), b.c_str(), c.c_str(), d.c_str()}};
    char out[kRecordLineBytes + 1];
    size_t n = FormatRecordLine(&line, out, sizeof out);
    if (n == 0)
        FailAt(__LINE__, "the record line of %s cannot be formatted", a.c_str());
    return std::string(out, n);
}

void WriteText(const std::string& path, const std::string& text)
{
    WriteBytesAt(__LINE__, path, text.data(), text.size());
}

std::string Fingerprint(const std::string& body)
{
    char fingerprint[kFingerprintBytes];
    FileFingerprint((const uint8_t*)body.data(), (uint32_t)body.size(), fingerprint);
    return fingerprint;
}

// Setup's files, the user's document, the leftovers, the registry, the
// template and the Add/Remove Programs entry under entryKey; the record
// names Setup's.  Every file but tovarin.hlp has its fingerprint, as
// today's Setup writes them; tovarin.hlp stands for a record of a Setup
// that wrote none.  itemSuffix follows the item names of the group, as a
// second destination's have them.
Installation MakeInstallationAt(int line, const std::string& dest, const char* group,
                                const char* entryKey = kUninstallKey, const std::string& itemSuffix = "")
{
    Installation in;
    in.dest = dest;
    in.group = group != nullptr ? group : "";
    char signature[64];
    in.record.assign(signature, FormatRecordSignature(signature, sizeof signature));
    in.record += Line(kRecordDirectory, 0, dest);
    in.record += Line(kRecordDirectory, 0, dest + "\\GUIDE");
    MakeDirsAt(line, dest + "\\GUIDE");
    const char* files[] = {"tovarin.exe", "readme.wri", "GUIDE\\guide.hlp", "tovarin.tvs", "calendar.tvd",
                           "tvremove.exe"};
    for (const char* f : files) {
        std::string path = dest + "\\" + f;
        in.record += Line(kRecordFile, 0, path);
        if (strcmp(f, "tvremove.exe") == 0) {
            CopyIntoAt(line, kProgram, path);
        } else {
            WriteText(path, std::string("Setup's ") + f);
            in.record += Line(kRecordPlaced, 0, path, Fingerprint(std::string("Setup's ") + f));
        }
    }
    // A read-only file of Setup's, and one that replaced an earlier one.
    WriteText(dest + "\\tovarin.hlp", "help");
    SetReadOnlyAt(line, dest + "\\tovarin.hlp");
    in.record += Line(kRecordFile, 1, dest + "\\tovarin.hlp");
    // The write path's leftovers: one recorded, one not, one set aside.
    WriteText(dest + "\\~tv1a2b.tmp", "half");
    in.record += Line(kRecordTemporary, 0, dest + "\\~tv1a2b.tmp");
    WriteText(dest + "\\GUIDE\\~tv00ff.tmp", "half");
    WriteText(dest + "\\readme.wri.~tv", "earlier");
    // The user's own document.
    WriteText(dest + "\\letter.tvd", "Dear Ann");

    // The registry: a file type still Setup's, one another program has
    // taken since, App Paths, and the Add/Remove Programs entry.
    struct {
        HKEY root;
        const char* rootName;
        std::string key, data;
        bool taken;
    } values[] = {
        {HKEY_CLASSES_ROOT, "HKCR", ".tvd", "Tovarin.Document", false},
        {HKEY_CLASSES_ROOT, "HKCR", "Tovarin.Document", "Tovarin Document", false},
        {HKEY_CLASSES_ROOT, "HKCR", ".tvx", "Tovarin.Extra", true},
        {HKEY_LOCAL_MACHINE, "HKLM", kAppPathKey, dest + "\\tovarin.exe", false},
    };
    for (const auto& v : values) {
        in.record += Line(kRecordKey, 0, v.rootName, v.key);
        in.record += Line(kRecordValue, 0, v.rootName, v.key, "", v.data);
        SetValueAt(line, v.root, v.key.c_str(), "", v.taken ? "Other.Program" : v.data);
    }
    SetValueAt(line, HKEY_LOCAL_MACHINE, entryKey, "DisplayName", "Tovarin");
    SetValueAt(line, HKEY_LOCAL_MACHINE, entryKey, "UninstallString", "\"" + dest + "\\tvremove.exe\"");
    SetValueAt(line, HKEY_LOCAL_MACHINE, entryKey, "QuietUninstallString", "\"" + dest + "\\tvremove.exe\" /quiet");
    SetValueAt(line, HKEY_LOCAL_MACHINE, entryKey, "InstallLocation", dest);

    // The template, placed outside the destination by name.
    in.templatePath = WindowsDir() + "\\ShellNew\\default.tvd";
    MakeDirsAt(line, WindowsDir() + "\\ShellNew");
    std::string body = "Tovarin template";
    WriteText(in.templatePath, body);
    in.record += Line(kRecordTemplate, 0, in.templatePath, Fingerprint(body));

    if (group) {
        std::string application = "Tovarin" + itemSuffix, readMe = "Tovarin Read Me" + itemSuffix;
        in.record += Line(kRecordGroup, 1, group);
        in.record += Line(kRecordItem, 0, group, application);
        in.record += Line(kRecordItem, 0, group, readMe);
        size_t before = FilesUnder(ProgramsFolder() + "\\" + group).size();
        ProgmanAt(line, std::string("[CreateGroup(\"") + group + "\")][AddItem(\"" + dest + "\\tovarin.exe\", \"" +
                            application + "\")][AddItem(\"" + dest + "\\readme.wri\", \"" + readMe + "\")]");
        CloseFolderWindows(group);
        std::vector<std::string> items = FilesUnder(ProgramsFolder() + "\\" + group);
        if (items.size() != before + 2)
            FailAt(line, "the group holds %s, expected two items more", Join(items).c_str());
    }
    return in;
}
#define MakeInstallation(dest, group) MakeInstallationAt(__LINE__, (dest), (group))

void WriteRecordAt(int line, const Installation& in)
{
    WriteBytesAt(line, in.dest + "\\tvremove.log", in.record.data(), in.record.size());
}

// What the user finds after a whole removal: only the files named in
// kept, under the destination; nothing of Setup's anywhere else.
void ExpectRemovedAt(int line, const Installation& in, const std::vector<std::string>& kept)
{
    std::vector<std::string> left = FilesUnder(in.dest);
    OkAt(line, left == kept, "the destination holds %s, expected %s", Join(left).c_str(), Join(kept).c_str());
    OkAt(line, !DirExists((in.dest + "\\GUIDE").c_str()), "the GUIDE directory Setup made is still there");
    OkAt(line, !FileExists(in.templatePath.c_str()), "the template %s is still there", in.templatePath.c_str());
    OkAt(line, !KeyExists(HKEY_CLASSES_ROOT, ".tvd") && !KeyExists(HKEY_CLASSES_ROOT, "Tovarin.Document"),
         "the document type is still registered");
    OkAt(line, !KeyExists(HKEY_LOCAL_MACHINE, kAppPathKey), "the App Paths entry is still there");
    OkAt(line, ValueExists(HKEY_CLASSES_ROOT, ".tvx", ""), "the type another program took was removed");
    OkAt(line, !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), "the Add/Remove Programs entry is still there");
    if (!in.group.empty())
        OkAt(line, !DirExists((ProgramsFolder() + "\\" + in.group).c_str()), "the program group is still there");
}
#define ExpectRemoved(in, kept) ExpectRemovedAt(__LINE__, (in), (kept))

// Runs a program of the prefix and returns what it wrote on its standard
// output.
std::string RunCaptureAt(int line, const std::string& commandLine)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        FailAt(line, "no pipe");
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process;
    std::vector<char> text(commandLine.begin(), commandLine.end());
    text.push_back('\0');
    if (!CreateProcessA(nullptr, text.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        FailAt(line, "cannot run %s (error %lu)", commandLine.c_str(), GetLastError());
    CloseHandle(writeEnd);
    std::string out;
    char buffer[512];
    DWORD got;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        out.append(buffer, got);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(readEnd);
    return out;
}

bool ListedInAddRemove(int line)
{
    std::string list = RunCaptureAt(line, "uninstaller.exe --list");
    return list.find("Tovarin|||Tovarin") != std::string::npos;
}

std::string BoxText(int n)
{
    HWND box = NeedDialogAt(__LINE__, REMOVE_BOX_BASE + n, kWaitMs);
    return ControlText(box, IDC_BOX_TEXT);
}

void RunAsWindows95At(int line)
{
    SetValueAt(line, HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\tvremove.exe", "Version", "win95");
}

// ---- Traces on the drives ------------------------------------------------------------------

// Every directory and file under dir, each with its size and time of last
// write (a file's contents changed show there), as "path|size|time".
void ListTree(const std::string& dir, std::vector<std::string>* out)
{
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = dir + "\\" + name;
        char entry[64];
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out->push_back(path + "\\");
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                ListTree(path, out);
        } else {
            snprintf(entry, sizeof entry, "|%lu|%08lx%08lx", found.nFileSizeLow, found.ftLastWriteTime.dwHighDateTime,
                     found.ftLastWriteTime.dwLowDateTime);
            out->push_back(path + entry);
        }
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
}

std::vector<std::string> ListDrives()
{
    std::vector<std::string> all;
    ListTree("C:", &all);
    ListTree("D:", &all);
    std::sort(all.begin(), all.end());
    return all;
}

std::string Lowered(std::string text)
{
    for (char& c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

// The entries of one listing that the other lacks, but those the scenario
// expects (lower case): the paths named, and what lies under the
// directories named.
std::vector<std::string> Unexpected(const std::vector<std::string>& from, const std::vector<std::string>& other,
                                    const std::vector<std::string>& paths, const std::vector<std::string>& under)
{
    std::vector<std::string> out;
    for (const std::string& entry : from) {
        if (std::binary_search(other.begin(), other.end(), entry))
            continue;
        std::string path = Lowered(entry.substr(0, entry.find('|')));
        bool expected = std::find(paths.begin(), paths.end(), path) != paths.end();
        for (const std::string& a : under)
            expected = expected || path.compare(0, a.size(), a) == 0;
        if (!expected)
            out.push_back(entry);
    }
    return out;
}

// Every key and value under a key, as "ROOT\\path\\" and
// "ROOT\\path\\|name|type|size|checksum", depth levels of keys down; the
// keys below the last level are named only.
void ListKey(HKEY key, const std::string& path, int depth, std::vector<std::string>* out)
{
    out->push_back(path + "\\");
    std::vector<char> name(16384), data(65536);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = (DWORD)name.size(), dataSize = (DWORD)data.size(), type = 0;
        LONG got = RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, (BYTE*)data.data(), &dataSize);
        if (got == ERROR_NO_MORE_ITEMS)
            break;
        if (got != ERROR_SUCCESS)
            continue;
        uint32_t sum = 0;
        for (DWORD k = 0; k < dataSize; ++k)
            sum = sum * 31 + (unsigned char)data[k];
        char entry[64];
        snprintf(entry, sizeof entry, "|%lu|%lu|%08x", type, dataSize, sum);
        out->push_back(path + "\\|" + std::string(name.data(), nameSize) + entry);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = (DWORD)name.size();
        LONG got = RegEnumKeyExA(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (got == ERROR_NO_MORE_ITEMS)
            break;
        if (got != ERROR_SUCCESS)
            continue;
        std::string sub(name.data(), nameSize);
        HKEY opened;
        int below = depth - 1;
        if (depth == 0) {
            out->push_back(path + "\\" + sub + "\\");
        } else if (RegOpenKeyExA(key, sub.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS) {
            ListKey(opened, path + "\\" + sub, below, out);
            RegCloseKey(opened);
        }
    }
}

// The branches of the registry Setup writes to.  The classes are listed by
// their top-level keys, where the file types and their programs are:
// Wine's hold tens of thousands of keys, each a round trip to its server,
// and listing them all takes longer than a scenario may.
std::vector<std::string> ListRegistry()
{
    static const struct {
        HKEY root;
        const char* name;
        const char* key;
        int depth;
    } branches[] = {
        {HKEY_LOCAL_MACHINE, "HKLM", "Software\\Classes", 0},
        {HKEY_LOCAL_MACHINE, "HKLM", "Software\\Microsoft\\Windows\\CurrentVersion", 64},
        {HKEY_CURRENT_USER, "HKCU", "Software", 64},
    };
    std::vector<std::string> all;
    for (const auto& branch : branches) {
        HKEY opened;
        if (RegOpenKeyExA(branch.root, branch.key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
            ListKey(opened, std::string(branch.name) + "\\" + branch.key, branch.depth, &all);
            RegCloseKey(opened);
        }
    }
    std::sort(all.begin(), all.end());
    return all;
}

// The drives and the registry before an installation, to compare with
// after its removal.
struct Traces {
    std::vector<std::string> drives, registry;
};

Traces TakeTraces()
{
    return Traces{ListDrives(), ListRegistry()};
}

// Nothing differs on the drives but the paths named (lower case) and what
// the run itself makes or Wine changes on its own: the screenshots and
// requests of the run, the temporary directory (the restart and the
// programs it ran), the Start Menu folder Wine's Program Manager keeps the
// groups in (the group itself is checked by name), and wininit.bak (Wine's
// restart renames WININIT.INI to it).
//
// In the registry, where Setup writes (the classes' top level, Windows'
// CurrentVersion with App Paths and Uninstall, the user's software), what
// differs may be what Wine itself writes when programs run: user32 keeps
// the system parameters of a session under Wine\Temporary System
// Parameters, and the explorer that shows a group's folder window its
// Explorer settings.
void ExpectNoTracesAt(int line, const Traces& before, const std::vector<std::string>& paths)
{
    Traces after = TakeTraces();
    std::vector<std::string> allowed = paths;
    allowed.push_back(Lowered(WindowsDir()) + "\\wininit.bak");
    std::vector<std::string> under = {
        "c:\\shots\\", "c:\\e2e-requests\\",
        Lowered(TempCopy().substr(0, TempCopy().find_last_of('\\') + 1)), Lowered(ProgramsFolder()) + "\\",
    };
    OkAt(line, before.drives.size() > 100 && after.drives.size() > 100, "the drives list %u and %u entries",
         (unsigned)before.drives.size(), (unsigned)after.drives.size());
    std::vector<std::string> added = Unexpected(after.drives, before.drives, allowed, under);
    std::vector<std::string> removed = Unexpected(before.drives, after.drives, allowed, under);
    OkAt(line, added.empty(), "the removal left on the drives %s", Join(added).c_str());
    OkAt(line, removed.empty(), "the installation and removal took from the drives %s", Join(removed).c_str());

    std::vector<std::string> none;
    std::vector<std::string> wine = {"hkcu\\software\\wine\\temporary system parameters\\",
                                     "hkcu\\software\\microsoft\\windows\\currentversion\\explorer\\"};
    std::vector<std::string> keysAdded = Unexpected(after.registry, before.registry, none, wine);
    std::vector<std::string> keysRemoved = Unexpected(before.registry, after.registry, none, wine);
    OkAt(line, before.registry.size() > 1000, "the registry lists %u entries", (unsigned)before.registry.size());
    OkAt(line, keysAdded.empty(), "the removal left in the registry %s", Join(keysAdded).c_str());
    OkAt(line, keysRemoved.empty(), "the installation and removal took from the registry %s",
         Join(keysRemoved).c_str());
}
#define ExpectNoTraces(before, paths) ExpectNoTracesAt(__LINE__, (before), (paths))

// ---- Scenarios --------------------------------------------------------------------------

// The whole removal, as the user starts it in Add/Remove Programs: Wine's
// own uninstaller runs the UninstallString and waits for it.
void RemoveFull()
{
    Installation in = MakeInstallation("C:\\Program Files\\Tovarin", kGroup);
    // Its last line cut short, as a killed Setup leaves it: the record's
    // normal end, about which no box asks.
    in.record += "FILE\tC:\\Program Files\\Tovarin\\tov";
    WriteRecordAt(__LINE__, in);
    // The user has reworked the read-me into a document of his own, and
    // put his own calendar under the name of Setup's.
    WriteText(in.dest + "\\readme.wri", "Setup's readme.wri, and Ann's notes");
    WriteText(in.dest + "\\calendar.tvd", "Ann's calendar");
    ok(ListedInAddRemove(__LINE__), "uninstaller --list does not list Tovarin before the removal");
    WatchProgram(kProgram);
    StartSetupAt(__LINE__, "C:\\windows\\system32\\uninstaller.exe", "--remove Tovarin", -1);
    Shot("confirm");
    Answer(BOX_CONFIRM_REMOVE, ANSWER_REMOVE, nullptr);
    Answer(BOX_KEEP_SETTINGS, ANSWER_KEEP, nullptr);
    std::string text = BoxText(BOX_REMOVED);
    Shot("removed");
    CloseFolderWindows(kGroup);
    // The uninstaller has let go: the program it started ended once the
    // entry was gone.
    ok(!SetupRunning(), "uninstaller --remove still waits while the last box shows");
    ok(text.find("letter.tvd") != std::string::npos && text.find("tovarin.tvs") != std::string::npos,
       "the last box does not name the files left: \"%s\"", text.c_str());
    for (const char* changed : {"readme.wri", "calendar.tvd"}) {
        std::string named = in.dest + "\\" + changed + ProgramString(IDS_CHANGED, RunLanguage());
        ok(text.find(named) != std::string::npos, "the last box does not name %s: \"%s\"", named.c_str(),
           text.c_str());
    }
    Answer(BOX_REMOVED, 1, nullptr);
    NeedWatchedGone(kRemovalMs);
    ExpectRemoved(in, std::vector<std::string>({"calendar.tvd", "letter.tvd", "readme.wri", "tovarin.tvs"}));
    ok(!ListedInAddRemove(__LINE__), "uninstaller --list still lists Tovarin");
    ok(FileExists(TempCopy().c_str()), "the copy in the temporary directory went before the restart");
    RequestRestart();
    ok(!FileExists(TempCopy().c_str()), "the copy %s is still there after the restart", TempCopy().c_str());

}

// QuietUninstallString: no question, no box; the settings are kept.  The
// record is that of two installations into the same directory, the second
// killed while it wrote a line: every line comes twice, and the last is
// cut off.
void RemoveQuiet()
{
    Installation in = MakeInstallation("C:\\TOVARIN", nullptr);
    std::string lines = in.record.substr(in.record.find('\n') + 1);
    in.record += lines + "FILE\tC:\\TOVARIN\\tov";
    WriteRecordAt(__LINE__, in);
    WatchProgram(kProgram);
    StartSetupAt(__LINE__, "C:\\TOVARIN\\tvremove.exe", "/quiet", -1);
    static const int none[1] = {0};
    DWORD code = NeedExitAt(__LINE__, kRemovalMs, none, 0);
    ok(code == 0, "exit code %lu, expected 0", code);
    for (DWORD start = GetTickCount(); WatchedProcessCount() > 0 && GetTickCount() - start < kRemovalMs;
         Sleep(kPollMs)) {
        std::vector<int> shown = ShownDialogs();
        if (!shown.empty())
            fail("a quiet removal shows dialog %d", shown[0]);
    }
    NeedWatchedGone(kRemovalMs);
    ExpectRemoved(in, std::vector<std::string>({"letter.tvd", "tovarin.tvs"}));
}

// Tovarin runs while it is removed: the driver holds tovarin.exe open.
// Later leaves it for the next start (in NT mode a pending rename, in
// Windows 95 mode a NUL= line in WININIT.INI), and the restart takes it.
void RemoveInUse(bool windows95)
{
    Installation in = MakeInstallation("C:\\TOVARIN", nullptr);
    WriteRecordAt(__LINE__, in);
    std::string wininit = WindowsDir() + "\\wininit.ini";
    if (windows95)
        RunAsWindows95At(__LINE__);
    std::string held = in.dest + "\\tovarin.exe";
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        fail("cannot hold %s open", held.c_str());
    WatchProgram(kProgram);
    StartSetupAt(__LINE__, "C:\\TOVARIN\\tvremove.exe", "", -1);
    Answer(BOX_CONFIRM_REMOVE, ANSWER_REMOVE, nullptr);
    Answer(BOX_KEEP_SETTINGS, ANSWER_REMOVE_SETTINGS, nullptr);
    std::string inUse = BoxText(BOX_FILE_IN_USE);
    ok(inUse.find(held) != std::string::npos, "the box does not name %s: \"%s\"", held.c_str(), inUse.c_str());
    Shot("in-use");
    Answer(BOX_FILE_IN_USE, ANSWER_RETRY, nullptr);
    Answer(BOX_FILE_IN_USE, ANSWER_LATER, nullptr);
    std::string text = BoxText(BOX_REMOVED);
    ok(text.find(held + InRunLanguage(IDS_AT_RESTART, " (removed when Windows starts next)")) != std::string::npos,
       "the last box does not say that %s goes at the next start: \"%s\"", held.c_str(), text.c_str());
    Answer(BOX_REMOVED, 1, nullptr);
    NeedWatchedGone(kRemovalMs);
    ok(FileExists(held.c_str()), "%s went while it was held open", held.c_str());
    if (windows95) {
        Bytes ini;
        ReadBytes(wininit, &ini);
        std::string iniText(ini.begin(), ini.end()), lower = iniText;
        for (char& c : lower)
            c = (char)tolower((unsigned char)c);
        ok(lower.find("[rename]\r\nnul=c:\\tovarin\\tovarin.exe\r\n") != std::string::npos,
           "WININIT.INI holds \"%s\"", iniText.c_str());
    }
    CloseHandle(file);
    RequestRestart();
    ExpectRemoved(in, std::vector<std::string>({"letter.tvd"}));
    ok(!FileExists(TempCopy().c_str()), "the copy %s is still there after the restart", TempCopy().c_str());
}

void RemoveInUseNT()
{
    RemoveInUse(false);
}

void RemoveInUseWindows95()
{
    RemoveInUse(true);
}

// A record edited by hand reaches no further than Setup would: a file
// outside the destination (WIN.INI), a TEMPLATE line naming a system
// library with its true fingerprint, a TEMP line naming the user's letter,
// an ITEM whose name would close its command and delete another group.  A
// line the reader cannot account for is reported, what the lines after it
// name stays, and so do the record, the program and the entry, for a later
// removal; the exit code says "removed in part".  A template the user
// changed stays.
void RemoveForeignRecord()
{
    Installation in = MakeInstallation("C:\\TOVARIN", nullptr);
    std::string winIni = WindowsDir() + "\\win.ini";
    if (!FileExists(winIni.c_str()))
        WriteText(winIni, "[windows]\r\n");
    Bytes before;
    ReadBytes(winIni, &before);
    std::string library = WindowsDir() + "\\SYSTEM\\tovlib.dll", libraryBody = "a library of the system's";
    MakeDirs(WindowsDir() + "\\SYSTEM");
    WriteText(library, libraryBody);
    const char foreignGroup[] = "Tovarin Foreign Kept";
    ProgmanAt(__LINE__, std::string("[CreateGroup(\"") + foreignGroup + "\")][AddItem(\"" + in.dest +
                            "\\letter.tvd\", \"Letter\")]");
    CloseFolderWindows(foreignGroup);
    WriteText(in.dest + "\\after.txt", "named after the damage");
    WriteText(in.templatePath, "the user's own template now");
    in.record += Line(kRecordFile, 0, "C:\\WINDOWS\\WIN.INI");
    in.record += Line(kRecordTemplate, 0, library, Fingerprint(libraryBody));
    in.record += Line(kRecordTemporary, 0, in.dest + "\\letter.tvd");
    in.record += Line(kRecordItem, 0, kGroup, std::string("X\")][DeleteGroup(\"") + foreignGroup);
    in.record += Line(kRecordFile, 0, in.dest + "\\readme.wri");
    size_t damaged = (size_t)std::count(in.record.begin(), in.record.end(), '\n') + 1;
    in.record += "FILE\tC:\\TOVARIN\\after.txt\tmaybe\r\n";
    in.record += Line(kRecordFile, 0, in.dest + "\\after.txt");
    WriteRecordAt(__LINE__, in);
    WatchProgram(kProgram);
    StartSetupAt(__LINE__, "C:\\TOVARIN\\tvremove.exe", "", -1);
    Answer(BOX_CONFIRM_REMOVE, ANSWER_REMOVE, nullptr);
    std::string damage = BoxText(BOX_RECORD_DAMAGED);
    // The box's format in the run's language, with the record and the line.
    std::string expected = ProgramString(IDS_DAMAGED, RunLanguage());
    size_t at = expected.find("%s");
    if (at != std::string::npos)
        expected.replace(at, 2, in.dest + "\\tvremove.log");
    at = expected.find("%u");
    if (at != std::string::npos)
        expected.replace(at, 2, std::to_string(damaged));
    ok(damage == expected, "the box says \"%s\", expected \"%s\"", damage.c_str(), expected.c_str());
    Shot("damaged");
    Answer(BOX_RECORD_DAMAGED, 1, nullptr);
    Answer(BOX_KEEP_SETTINGS, ANSWER_KEEP, nullptr);
    std::string text = BoxText(BOX_REMOVED);
    std::string notOurs = ProgramString(IDS_NOT_OURS, RunLanguage());
    for (const std::string& named : {std::string("C:\\WINDOWS\\WIN.INI") + notOurs, library + notOurs,
                                     in.dest + "\\letter.tvd" + notOurs,
                                     in.templatePath + ProgramString(IDS_CHANGED, RunLanguage()),
                                     in.dest + "\\tvremove.log" + ProgramString(IDS_RECORD_KEPT, RunLanguage())})
        ok(text.find(named) != std::string::npos, "the last box does not name \"%s\": \"%s\"", named.c_str(),
           text.c_str());
    std::string partly = ProgramString(IDS_PARTLY, RunLanguage());
    ok(!partly.empty() && text.compare(0, partly.size(), partly) == 0,
       "the last box does not say that Tovarin was removed in part: \"%s\"", text.c_str());
    Answer(BOX_REMOVED, 1, nullptr);
    DWORD code = NeedExitAt(__LINE__, kRemovalMs, nullptr, 0);
    ok(code == kExitRemovedInPart, "exit code %lu, expected %d (removed in part)", code, kExitRemovedInPart);
    NeedWatchedGone(kRemovalMs);
    Bytes after;
    ok(ReadBytes(winIni, &after) && after == before, "WIN.INI was changed or deleted");
    ok(FileExists(library.c_str()), "the library a TEMPLATE line named was deleted");
    ok(FileExists(in.templatePath.c_str()), "the template the user changed was deleted");
    ok(DirExists((ProgramsFolder() + "\\" + foreignGroup).c_str()), "the group an ITEM name reached went");
    CloseFolderWindows(foreignGroup);
    std::vector<std::string> left = FilesUnder(in.dest);
    std::vector<std::string> kept = {"after.txt", "letter.tvd", "tovarin.tvs", "tvremove.exe", "tvremove.log"};
    ok(left == kept, "the destination holds %s, expected %s", Join(left).c_str(), Join(kept).c_str());
    ok(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), "the Add/Remove Programs entry went with the record unread");
}

// What removes nothing at all: Cancel in the first question (no more
// boxes), a destination without its record (box 5), and a tvremove.log
// that is not a record (the user's own notes: box 5, and it stays).  The
// entry stays in Add/Remove Programs, so that the user can try again, and
// the exit code says which.
void RemoveNothing()
{
    static const struct {
        const char* label;
        const char* record;   // "": Setup's record; null: none
        int answer;           // to the first question
        int box;              // the box that follows, or 0
        DWORD code;
    } cases[] = {
        {"cancelled", "", 2, 0, kExitStopped},
        {"no record", nullptr, ANSWER_REMOVE, BOX_NO_RECORD, kExitNothingRemoved},
        {"not a record", "FILE\tC:\\TOVARIN\\letter.tvd\tnew\r\nAnn's notes\r\n", ANSWER_REMOVE, BOX_NO_RECORD,
         kExitNothingRemoved},
    };
    for (const auto& c : cases) {
        SetCase(c.label);
        Installation in = MakeInstallation("C:\\TOVARIN", nullptr);
        if (c.record != nullptr && c.record[0] != '\0')
            in.record = c.record;
        if (c.record != nullptr)
            WriteRecordAt(__LINE__, in);
        else
            RemoveFile(in.dest + "\\tvremove.log");
        std::vector<std::string> before = FilesUnder(in.dest);
        WatchProgram(kProgram);
        StartSetupAt(__LINE__, "C:\\TOVARIN\\tvremove.exe", "", -1);
        Answer(BOX_CONFIRM_REMOVE, c.answer, nullptr);
        if (c.box != 0)
            Answer(c.box, 1, nullptr);
        DWORD code = NeedExitAt(__LINE__, kRemovalMs, nullptr, 0);
        ok(code == c.code, "exit code %lu, expected %lu", code, c.code);
        NeedWatchedGone(kRemovalMs);
        std::vector<std::string> after = FilesUnder(in.dest);
        ok(after == before, "the destination holds %s, expected %s", Join(after).c_str(), Join(before).c_str());
        ok(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), "the Add/Remove Programs entry went");
        ok(KeyExists(HKEY_CLASSES_ROOT, ".tvd") && FileExists(in.templatePath.c_str()),
           "the registry or the template was touched");
    }
    SetCase(nullptr);
}

// Two installations in two directories share the group: each has its own
// Add/Remove Programs entry and its own item names, and removing one
// leaves the other whole (files, items, group, entry), whichever goes
// first.  An item both records name (Program Manager keeps one item per
// name) stays while the other installation is there.
void RemoveOneOfTwo()
{
    static const struct {
        const char* label;
        bool secondFirst;   // the second installation is removed first
        const char* firstDest;
        const char* secondDest;
        const char* group;
    } cases[] = {
        {"the first removed first", false, "C:\\TOVARIN", "D:\\APPS\\TOVARIN", "Tovarin Shared One"},
        {"the second removed first", true, "C:\\TOVARIN.B", "D:\\APPS\\TOVARIN.B", "Tovarin Shared Two"},
    };
    const char secondKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tovarin 2";
    // Wine's desktop, which serves PROGMAN, ends once the last top-level
    // window of the session is gone: between the cases, with the removal
    // and its group windows closed, this hidden one keeps it.  Its own
    // thread answers the messages every DDE client broadcasts.
    struct Keeper {
        static DWORD WINAPI Run(LPVOID)
        {
            CreateWindowExA(0, "STATIC", "keeps the desktop", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                            nullptr);
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0)
                DispatchMessageA(&message);
            return 0;
        }
    };
    DWORD keeperThread = 0;
    HANDLE keeper = CreateThread(nullptr, 0, Keeper::Run, nullptr, 0, &keeperThread);
    for (const auto& c : cases) {
        SetCase(c.label);
        Installation first = MakeInstallation(c.firstDest, c.group);
        // Program Manager's items are files: a name holds no backslash or
        // colon, or Wine's DeleteItem cannot find what AddItem made.
        std::string suffix = std::string(" (") + c.secondDest + ")";
        suffix.erase(std::remove(suffix.begin(), suffix.end(), ':'), suffix.end());
        std::replace(suffix.begin(), suffix.end(), '\\', '-');
        Installation second = MakeInstallationAt(__LINE__, c.secondDest, c.group, secondKey, suffix);
        // An item both name: the guide, which neither adds twice.
        second.record += Line(kRecordItem, 0, c.group, "Tovarin Guide");
        first.record += Line(kRecordItem, 0, c.group, "Tovarin Guide");
        ProgmanAt(__LINE__, std::string("[ShowGroup(\"") + c.group + "\", 1)][AddItem(\"" + first.dest +
                                "\\readme.wri\", \"Tovarin Guide\")]");
        CloseFolderWindows(c.group);
        WriteRecordAt(__LINE__, first);
        WriteRecordAt(__LINE__, second);
        const Installation& gone = c.secondFirst ? second : first;
        const Installation& stays = c.secondFirst ? first : second;
        const char* goneKey = c.secondFirst ? secondKey : kUninstallKey;
        const char* staysKey = c.secondFirst ? kUninstallKey : secondKey;
        std::vector<std::string> staysFiles = FilesUnder(stays.dest);
        std::vector<std::string> groupBefore = FilesUnder(ProgramsFolder() + "\\" + c.group);

        WatchProgram(kProgram);
        StartSetupAt(__LINE__, (gone.dest + "\\tvremove.exe").c_str(), "/quiet", -1);
        DWORD code = NeedExitAt(__LINE__, kRemovalMs, nullptr, 0);
        ok(code == kExitRemoved, "exit code %lu, expected 0", code);
        NeedWatchedGone(kRemovalMs);
        CloseFolderWindows(c.group);
        std::vector<std::string> goneLeft = FilesUnder(gone.dest);
        ok(goneLeft == std::vector<std::string>({"letter.tvd", "tovarin.tvs"}), "%s holds %s", gone.dest.c_str(),
           Join(goneLeft).c_str());
        ok(!KeyExists(HKEY_LOCAL_MACHINE, goneKey), "the removed installation's entry is still there");
        ok(KeyExists(HKEY_LOCAL_MACHINE, staysKey), "the other installation's entry went");
        ok(FilesUnder(stays.dest) == staysFiles, "the other installation's files changed: %s",
           Join(FilesUnder(stays.dest)).c_str());
        std::vector<std::string> group = FilesUnder(ProgramsFolder() + "\\" + c.group);
        ok(group.size() == 3, "the group holds %s (before: %s), expected the other's two items and the guide",
           Join(group).c_str(), Join(groupBefore).c_str());
        for (const std::string& item : group)
            ok(item == "Tovarin Guide.lnk" || (item.find("APPS") != std::string::npos) == !c.secondFirst,
               "the group holds %s of the removed installation", item.c_str());

        // Then the other: everything goes, the group too.
        StartSetupAt(__LINE__, (stays.dest + "\\tvremove.exe").c_str(), "/quiet", -1);
        code = NeedExitAt(__LINE__, kRemovalMs, nullptr, 0);
        ok(code == kExitRemoved, "exit code %lu of the second removal, expected 0", code);
        NeedWatchedGone(kRemovalMs);
        CloseFolderWindows(c.group);
        ok(!KeyExists(HKEY_LOCAL_MACHINE, staysKey), "the other installation's entry is still there");
        ok(!DirExists((ProgramsFolder() + "\\" + c.group).c_str()), "the group is still there: %s",
           Join(FilesUnder(ProgramsFolder() + "\\" + c.group)).c_str());
    }
    PostThreadMessageA(keeperThread, WM_QUIT, 0, 0);
    WaitForSingleObject(keeper, 5000);
    CloseHandle(keeper);
    SetCase(nullptr);
}

// A group stays where it is not Setup's to delete: one the user has put an
// item of his own into, and one that was there before Setup ("old").
// Setup's items go from both.
void RemoveGroupKept()
{
    static const struct {
        const char* label;
        const char* group;
        bool userItem;
        bool old;
        std::vector<std::string> left;   // the group's folder afterwards
    } cases[] = {
        {"the user's item", "Tovarin Kept One", true, false, {"Letter.lnk"}},
        {"an earlier group", "Tovarin Kept Two", false, true, {}},
    };
    WatchProgram(kProgram);
    for (const auto& c : cases) {
        SetCase(c.label);
        Installation in = MakeInstallation("C:\\TOVARIN", c.group);
        if (c.userItem) {
            ProgmanAt(__LINE__, std::string("[ShowGroup(\"") + c.group + "\", 1)][AddItem(" + in.dest +
                                    "\\letter.tvd, Letter)]");
            CloseFolderWindows(c.group);
        }
        if (c.old) {
            size_t at = in.record.find(std::string("GROUP\t") + c.group + "\tnew");
            in.record.replace(in.record.find("\tnew", at), 4, "\told");
        }
        WriteRecordAt(__LINE__, in);
        StartSetupAt(__LINE__, "C:\\TOVARIN\\tvremove.exe", "/quiet", -1);
        NeedExitAt(__LINE__, kRemovalMs, nullptr, 0);
        NeedWatchedGone(kRemovalMs);
        CloseFolderWindows(c.group);
        std::string folder = ProgramsFolder() + "\\" + c.group;
        std::vector<std::string> left = FilesUnder(folder);
        ok(DirExists(folder.c_str()), "the group %s went", c.group);
        ok(left == c.left, "the group holds %s, expected %s", Join(left).c_str(), Join(c.left).c_str());
        ok(!KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), "the Add/Remove Programs entry is still there");
    }
    SetCase(nullptr);
}

// ---- Installations by setup.exe ----------------------------------------------------

const char kSetupGroup[] = "Tovarin95 Demo";   // the group page's default name

// After a removal of what setup.exe installed into dest (a directory that
// was there before): only the files named in kept are left, and nothing of Setup's elsewhere: no group, no
// file types, no App Paths entry, no template, no Add/Remove Programs entry.
void ExpectSetupRemovedAt(int line, const std::string& dest, const std::vector<std::string>& kept)
{
    std::vector<std::string> left = FilesUnder(dest);
    OkAt(line, left == kept, "the destination holds %s, expected %s", Join(left).c_str(), Join(kept).c_str());
    // The scenarios make the destination before Setup runs: not Setup's, it
    // stays.
    OkAt(line, DirExists(dest.c_str()), "the destination %s, made before Setup, went", dest.c_str());
    OkAt(line, !DirExists((dest + "\\GUIDE").c_str()), "the GUIDE directory Setup made is still there");
    OkAt(line, !DirExists((ProgramsFolder() + "\\" + kSetupGroup).c_str()), "the program group is still there");
    for (const char* key : {".tvd", "tvdfile", ".tvs", "tvsfile"})
        OkAt(line, !KeyExists(HKEY_CLASSES_ROOT, key), "HKCR\\%s is still there", key);
    OkAt(line, !KeyExists(HKEY_LOCAL_MACHINE, kAppPathKey), "the App Paths entry is still there");
    OkAt(line, !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), "the Add/Remove Programs entry is still there");
    char templates[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_TEMPLATES, nullptr, 0, templates);
    OkAt(line, !FileExists((std::string(templates) + "\\default.tvd").c_str()), "the template is still in %s",
         templates);
    OkAt(line, !ListedInAddRemove(line), "uninstaller --list still lists Tovarin");
}
#define ExpectSetupRemoved(dest, kept) ExpectSetupRemovedAt(__LINE__, (dest), (kept))

// Runs the quiet removal as Add/Remove Programs would: the command that the
// entry of dest (found by its InstallLocation) holds as its
// QuietUninstallString, a quoted program and its arguments; and waits for
// the removal's copy to end.
void RemoveQuietlyAt(int line, const std::string& dest)
{
    std::vector<UninstallEntry> entries = EntriesFor(dest);
    OkAt(line, entries.size() == 1, "%u Add/Remove Programs entries name %s, expected one",
         (unsigned)entries.size(), dest.c_str());
    const std::string command = entries.empty() ? "" : entries[0].quietCommand;
    size_t end = command.size() > 1 && command[0] == '"' ? command.find('"', 1) : std::string::npos;
    if (end == std::string::npos)
        FailAt(line, "the entry of %s has no quiet command: \"%s\"", dest.c_str(), command.c_str());
    const std::string program = command.substr(1, end - 1);
    size_t from = command.find_first_not_of(' ', end + 1);
    const std::string arguments = from == std::string::npos ? "" : command.substr(from);
    OkAt(line, lstrcmpiA(program.c_str(), (dest + "\\tvremove.exe").c_str()) == 0 && arguments == "/quiet",
         "the quiet command is \"%s\"", command.c_str());
    WatchProgram(kProgram);
    StartSetupAt(line, program.c_str(), arguments.c_str(), -1);
    DWORD code = NeedExitAt(line, kRemovalMs, nullptr, 0);
    OkAt(line, code == kExitRemoved, "the quiet removal of %s ended with %lu, expected 0", dest.c_str(), code);
    NeedWatchedGoneAt(line, kRemovalMs);
    CloseFolderWindows(kSetupGroup);
}

// A whole installation by setup.exe, removed through Wine's Add/Remove
// Programs: the user's document and settings file stay, nothing else.
// In Windows 95 mode the copy of the removal has itself deleted at the
// next start through WININIT.INI; the drives and the registry are compared
// whole in NT mode.
void RemoveSetupInstallation(bool windows95)
{
    const std::string dest = "C:\\Program Files\\Tovarin";
    if (windows95) {
        SetValue(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe", "Version", "win95");
        RunAsWindows95At(__LINE__);
    }
    Traces before = TakeTraces();
    StartInstalling(dest, 4096);
    HWND page = NeedDialog(IDD_GROUP);
    Click(page, IDOK);
    HWND finish = NeedDialog(IDD_FINISH);
    Click(finish, IDOK);
    DWORD code = NeedExit();
    ok(code == 0, "setup.exe ended with %lu", code);
    CloseFolderWindows(kSetupGroup);
    ok(DirExists((ProgramsFolder() + "\\" + kSetupGroup).c_str()), "Setup made no group to remove");
    ok(FileExists((dest + "\\tvremove.exe").c_str()) && FileExists((dest + "\\tvremove.log").c_str()),
       "Setup did not write tvremove.exe and its record");
    ok(ListedInAddRemove(__LINE__), "uninstaller --list does not list Tovarin after the installation");
    Bytes record;
    ReadBytes(dest + "\\tvremove.log", &record);
    // The copy engine names its targets in lower case.
    std::string recordText = Lowered(std::string(record.begin(), record.end()));
    for (const char* file : {"tovarin.exe", "readme.wri", "GUIDE\\guide.hlp"}) {
        std::string placed = Lowered("\r\nPLACED\t" + dest + "\\" + file + "\t");
        ok(recordText.find(placed) != std::string::npos, "the record has no fingerprint of %s", file);
    }
    WriteText(dest + "\\letter.tvd", "the user's own letter");
    WriteText(dest + "\\tovarin.tvs", "the user's settings");
    WriteText(dest + "\\readme.wri", "the read-me, reworked into the user's notes");

    WatchProgram(kProgram);
    StartSetupAt(__LINE__, "C:\\windows\\system32\\uninstaller.exe", "--remove Tovarin", -1);
    Answer(BOX_CONFIRM_REMOVE, ANSWER_REMOVE, nullptr);
    Answer(BOX_KEEP_SETTINGS, ANSWER_KEEP, nullptr);
    std::string text = BoxText(BOX_REMOVED);
    CloseFolderWindows(kSetupGroup);
    ok(text.find("letter.tvd") != std::string::npos, "the last box does not name the letter: \"%s\"", text.c_str());
    ok(Lowered(text).find(Lowered(dest + "\\readme.wri" + ProgramString(IDS_CHANGED, RunLanguage()))) !=
           std::string::npos,
       "the last box does not name the read-me the user changed: \"%s\"", text.c_str());
    Answer(BOX_REMOVED, 1, nullptr);
    NeedWatchedGone(kRemovalMs);
    ExpectSetupRemoved(dest, std::vector<std::string>({"letter.tvd", "readme.wri", "tovarin.tvs"}));
    // The copy in the temporary directory goes at the next start.
    RequestRestart();
    ok(!FileExists(TempCopy().c_str()), "the copy %s is still there after the restart", TempCopy().c_str());
    if (windows95)
        return;
    // The user's files are all that is left, and the destination the
    // scenario made before Setup; in NT mode, Setup updates the system's
    // ctl3d32.dll for good.
    std::string kept = Lowered(dest);
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, sizeof system);
    ExpectNoTraces(before, std::vector<std::string>({kept + "\\", kept + "\\letter.tvd", kept + "\\tovarin.tvs",
                                                     kept + "\\readme.wri", Lowered(system) + "\\ctl3d32.dll"}));
}

// Two installations by setup.exe, in C: and D:, share the default group:
// each has its own entry and items.  Removing the first through Wine's
// Add/Remove Programs leaves the second whole (files, items, entry), and
// the second's own quiet removal then leaves nothing.
void RemoveOneOfTwoSetupInstallations()
{
    const std::string first = "C:\\Program Files\\Tovarin", second = "D:\\Tovarin";
    for (const std::string& dest : {first, second}) {
        StartInstalling(dest, 4096);
        Click(NeedDialog(IDD_GROUP), IDOK);
        Click(NeedDialog(IDD_FINISH), IDOK);
        NeedExit();
        CloseFolderWindows(kSetupGroup);
    }
    const std::string folder = ProgramsFolder() + "\\" + kSetupGroup;
    std::vector<std::string> items = FilesUnder(folder), secondFiles = FilesUnder(second);
    ok(items.size() == 6, "the group holds %s, expected both installations' three items", Join(items).c_str());
    ok(EntriesFor(first).size() == 1 && EntriesFor(second).size() == 1,
       "the two destinations do not have an entry each");

    WatchProgram(kProgram);
    StartSetupAt(__LINE__, "C:\\windows\\system32\\uninstaller.exe", "--remove Tovarin", -1);
    Answer(BOX_CONFIRM_REMOVE, ANSWER_REMOVE, nullptr);
    Answer(BOX_REMOVED, 1, nullptr);
    NeedWatchedGone(kRemovalMs);
    CloseFolderWindows(kSetupGroup);
    std::vector<std::string> firstLeft = FilesUnder(first), secondLeft = FilesUnder(second);
    ok(firstLeft.empty(), "the first destination holds %s", Join(firstLeft).c_str());
    ok(secondLeft == secondFiles, "the second destination holds %s, expected %s", Join(secondLeft).c_str(),
       Join(secondFiles).c_str());
    ok(EntriesFor(first).empty() && EntriesFor(second).size() == 1,
       "the first's entry is still there, or the second's went");
    std::vector<std::string> left = FilesUnder(folder);
    ok(left.size() == 3, "the group holds %s, expected the second installation's three items", Join(left).c_str());
    for (const std::string& item : left)
        ok(item.find("(D-Tovarin)") != std::string::npos, "the first installation's item %s stays", item.c_str());

    RemoveQuietlyAt(__LINE__, second);
    ExpectSetupRemoved(second, std::vector<std::string>());
}

// Cancelled on the program-group page: the files are there but no group,
// no file types; the record and the Add/Remove Programs entry are, the
// entry whole with its quiet command, and that command takes the files
// away.  A tvremove.log that is not a record (the user's own) is never
// written into, and no entry promises to remove what it cannot name.
void RemoveCancelledInstallation()
{
    SetCase("a tvremove.log of the user's");
    const std::string foreign = "C:\\Foreign";
    MakeDirs(foreign);
    WriteText(foreign + "\\tvremove.log", "the user's own notes\r\n");
    StartInstalling(foreign, 4096);
    CancelSetup(NeedDialog(IDD_GROUP));
    Bytes notes;
    ok(ReadBytes(foreign + "\\tvremove.log", &notes) && std::string(notes.begin(), notes.end()) ==
       "the user's own notes\r\n", "Setup wrote into a tvremove.log that is not its record");
    ok(EntriesFor(foreign).empty(), "Add/Remove Programs lists the installation that could not be recorded");
    SetCase(nullptr);

    const std::string dest = "C:\\Cancelled";
    StartInstalling(dest, 4096);
    HWND page = NeedDialog(IDD_GROUP);
    CancelSetup(page);
    ok(FileExists((dest + "\\tovarin.exe").c_str()), "the copy did not install tovarin.exe");
    ok(ListedInAddRemove(__LINE__), "uninstaller --list does not list the cancelled installation");
    RemoveQuietlyAt(__LINE__, dest);
    ExpectSetupRemoved(dest, std::vector<std::string>());
}

// Killed in the middle of the copy, while the library's temporary file is
// being written, its record ending in a line cut short; then a second
// installation into the same directory runs to the end.  It cuts that line
// off before it appends, or the reader would stop there and leave what
// only the second one made (the group, the file types, the template).
// The one record of both removes everything, temporary files included.
void RemoveKilledInstallation()
{
    const std::string dest = "C:\\Killed";
    StartInstalling(dest, 60u << 20);
    bool writing = false;
    for (DWORD start = GetTickCount(); !writing && GetTickCount() - start < 5000; Sleep(kPollMs))
        for (const std::string& name : FilesUnder(dest))
            writing |= name.compare(0, 3, "~tv") == 0;
    ok(writing, "no temporary file appeared within 5 s");
    KillSetup();
    ok(ListedInAddRemove(__LINE__), "uninstaller --list does not list the killed installation");
    Bytes record;
    ok(ReadBytes(dest + "\\tvremove.log", &record), "the killed installation left no record");
    const char cut[] = "FILE\tC:\\Killed\\tov";
    record.insert(record.end(), cut, cut + sizeof cut - 1);
    WriteBytes(dest + "\\tvremove.log", record.data(), record.size());

    StartInstalling(dest, 4096);
    Click(NeedDialog(IDD_GROUP), IDOK);
    Click(NeedDialog(IDD_FINISH), IDOK);
    NeedExit();
    CloseFolderWindows(kSetupGroup);
    RemoveQuietlyAt(__LINE__, dest);
    ExpectSetupRemoved(dest, std::vector<std::string>());
}

// ---- The recovery of a run cut short -------------------------------------------------

std::string Text(const std::string& path)
{
    Bytes bytes;
    return ReadBytes(path, &bytes) ? std::string(bytes.begin(), bytes.end()) : std::string("(none)");
}

// Two runs of Setup cut short, made by hand as their records and files
// would be, each with its RunOnce value; at the next start of Windows
// (wineboot -r) each destination's removal program recovers it.  One was
// killed inside its commit: the staged file still waiting goes in place.
// One was killed while staging: every earlier file stays, the staged file
// goes.  A new file that a power cut left short (its fingerprint's size is
// not its size) or left without a fingerprint goes; a whole one stays.
// Each record ends with COMMITTED, and the values are gone.
void RecoverAtRestart()
{
    struct File {
        const char* name;
        const char* text;      // on the disk before the restart
        const char* expected;  // after it; null: gone
    };
    const struct {
        const char* dest;
        const char* lines;     // after the signature; "@" is the destination
        std::vector<File> files;
    } cases[] = {
        {"C:\\Recover\\Begun",
         "BEGIN|FILE @\\a.dll over|TEMP @\\~tv0001.tmp|FILE @\\b.dll over|TEMP @\\~tv0002.tmp|"
         "FILE @\\c.dat new|TEMP @\\~tv0003.tmp|PLACED @\\c.dat {C}|FILE @\\d.dat new|TEMP @\\~tv0004.tmp|"
         "PLACED @\\d.dat {D}|COMMIT|PLACED @\\b.dll {B}",
         {{"a.dll", "the earlier a", "the new a"}, {"~tv0001.tmp", "the new a", nullptr},
          {"b.dll", "the new b", "the new b"}, {"c.dat", "whole c", "whole c"}, {"d.dat", "", nullptr}}},
        {"C:\\Recover\\Staging",
         "BEGIN|FILE @\\a.dll over|TEMP @\\~tv0001.tmp|FILE @\\e.dat new|TEMP @\\~tv0005.tmp|"
         "FILE @\\f.dll over|TEMP @\\~tv0006.tmp",
         {{"a.dll", "the earlier a", "the earlier a"}, {"~tv0001.tmp", "the new a", nullptr},
          {"e.dat", "an e without its fingerprint", nullptr}, {"f.dll", "the earlier f", "the earlier f"},
          {"~tv0006.tmp", "half of the n", nullptr}}},
    };
    const std::string fingerprints[][2] = {{"C", Fingerprint("whole c")}, {"D", Fingerprint("whole d")},
                                          {"B", Fingerprint("the new b")}};
    for (const auto& c : cases) {
        const std::string dest = c.dest;
        MakeDirs(dest);
        CopyInto(kProgram, dest + "\\tvremove.exe");
        for (const File& f : c.files)
            WriteText(dest + "\\" + f.name, f.text);
        char signature[64];
        std::string record(signature, FormatRecordSignature(signature, sizeof signature));
        std::string lines = c.lines;
        for (size_t at = 0; (at = lines.find('@', at)) != std::string::npos;)
            lines.replace(at, 1, dest);
        for (size_t at = 0; (at = lines.find(' ', at)) != std::string::npos;)
            lines.replace(at, 1, "\t");
        for (const auto& f : fingerprints)
            for (size_t at = 0; (at = lines.find("{" + f[0] + "}")) != std::string::npos;)
                lines.replace(at, 3, f[1]);
        for (size_t at = 0; (at = lines.find('|', at)) != std::string::npos;)
            lines.replace(at, 1, "\r\n");
        record += lines + "\r\n";
        WriteText(dest + "\\tvremove.log", record);
        char name[256], command[MAX_PATH + 16];
        ok(RecoveryValueName(dest.c_str(), name, sizeof name) != 0 &&
               RecoveryCommand(dest.c_str(), command, sizeof command) != 0,
           "no recovery value for %s", dest.c_str());
        SetValue(HKEY_LOCAL_MACHINE, kRunOncePath, name, command);
    }
    RequestRestart();
    for (const auto& c : cases) {
        SetCase(c.dest);
        const std::string dest = c.dest;
        for (const File& f : c.files) {
            std::string now = Text(dest + "\\" + f.name);
            std::string expected = f.expected ? f.expected : "(none)";
            ok(now == expected, "%s holds \"%s\", expected \"%s\"", f.name, now.c_str(), expected.c_str());
        }
        std::string record = Text(dest + "\\tvremove.log");
        ok(record.size() > 11 && record.compare(record.size() - 11, 11, "COMMITTED\r\n") == 0,
           "the record does not end the run: \"%s\"", record.c_str());
        char name[256];
        RecoveryValueName(dest.c_str(), name, sizeof name);
        ok(!ValueExists(HKEY_LOCAL_MACHINE, kRunOncePath, name), "the RunOnce value %s is still there", name);
    }
    SetCase(nullptr);
}

// ---- Double-byte code pages -----------------------------------------------------

// A text value up to its terminator, "" when there is none.
std::string TextValue(HKEY root, const char* key, const char* name)
{
    DWORD type = 0;
    std::string data;
    return QueryValue(root, key, name, &type, &data) && type == REG_SZ ? std::string(data.c_str()) : "";
}

// An installation by setup.exe into a destination and a group of double-byte
// characters in the run's code page, whose second bytes are "\\", "|", "[",
// "]" or letters: the files land in the destination (the host's own names
// say so) and nowhere beside it, the items point at them, the registry and
// the record name them byte for byte.  A second run finds the installation
// and installs over it, keeping the user's settings; the quiet removal
// leaves nothing but the user's files.
struct EastAsianCase {
    UINT codePage;
    const char* dest;
    const char* group;
    bool typedNew;       // dest typed new, made by Setup; else made before it runs
};

void EastAsian(const EastAsianCase& c)
{
    NeedCodePage(c.codePage);
    CoInitialize(nullptr);
    const std::string dest = c.dest, folder = ProgramsFolder() + "\\" + c.group;
    const std::string exe = dest + "\\tovarin.exe";
    for (int run = 1; run <= 2; run++) {
        SetCase(run == 1 ? "installed" : "installed over");
        StartInstallingAt(__LINE__, dest, 4096, !(c.typedNew && run == 1));
        HWND page = NeedDialog(IDD_GROUP);
        SetText(page, IDC_GROUP_EDIT, c.group);
        Click(page, IDOK);
        NeedGone(page);
        HWND finish = NeedDialog(IDD_FINISH);
        CloseFolderWindows(c.group);
        Click(finish, IDOK);
        DWORD code = NeedExit();
        ok(code == 0, "setup.exe ended with %lu", code);
        ExpectHostNames(std::vector<std::string>({exe, dest + "\\readme.wri", dest + "\\GUIDE\\guide.hlp",
                                                  dest + "\\tvremove.exe", dest + "\\tvremove.log"}),
                        std::vector<std::string>({dest + "tovarin.exe", dest + "GUIDE", dest + "tvremove.log"}));
        std::vector<std::string> items = FilesUnder(folder);
        ok(items.size() == 3, "the group %s holds %s, expected three items", c.group, Join(items).c_str());
        for (const std::string& item : items) {
            std::string target = LinkTarget(folder + "\\" + item);
            ok(Lowered(target) == Lowered(exe) || Lowered(target) == Lowered(dest + "\\readme.wri") ||
                   Lowered(target) == Lowered(dest + "\\guide\\guide.hlp"),
               "the item %s points to \"%s\"", item.c_str(), target.c_str());
        }
        const std::string command = "\"" + exe + "\" \"%1\"";
        ok(TextValue(HKEY_CLASSES_ROOT, "tvdfile\\shell\\open\\command", nullptr) == command,
           "tvdfile's command is \"%s\", expected \"%s\"",
           TextValue(HKEY_CLASSES_ROOT, "tvdfile\\shell\\open\\command", nullptr).c_str(), command.c_str());
        ok(TextValue(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr) == exe &&
               TextValue(HKEY_LOCAL_MACHINE, kAppPathKey, "Path") == dest,
           "App Paths holds \"%s\" and \"%s\"", TextValue(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr).c_str(),
           TextValue(HKEY_LOCAL_MACHINE, kAppPathKey, "Path").c_str());
        ok(EntriesFor(dest).size() == 1, "%u entries name %s", (unsigned)EntriesFor(dest).size(), dest.c_str());
        Bytes record;
        ReadBytes(dest + "\\tvremove.log", &record);
        std::string text(record.begin(), record.end());
        char codePage[32];
        snprintf(codePage, sizeof codePage, "\r\nCODEPAGE\t%u\r\n", c.codePage);
        ok(text.find(codePage) != std::string::npos && text.find("\nGROUP\t" + std::string(c.group) + "\t") !=
               std::string::npos,
           "the record does not say its code page %u, or misses the group", c.codePage);
        if (run == 1) {
            WriteText(dest + "\\tovarin.tvs", "the user's settings");
            WriteText(dest + "\\letter.tvd", "the user's own letter");
        }
    }
    Bytes settings;
    ok(ReadBytes(dest + "\\tovarin.tvs", &settings) && std::string(settings.begin(), settings.end()) ==
       "the user's settings", "installing over did not keep the user's settings");
    SetCase("removed");
    RemoveQuietlyAt(__LINE__, dest);
    CloseFolderWindows(c.group);
    ExpectSetupRemoved(dest, std::vector<std::string>({"letter.tvd", "tovarin.tvs"}));
    ok(!DirExists(folder.c_str()), "the group %s is still there", c.group);
    ExpectHostNames(std::vector<std::string>({dest + "\\letter.tvd", dest + "\\tovarin.tvs"}),
                    std::vector<std::string>({exe, dest + "\\tvremove.exe", dest + "\\tvremove.log"}));
    // Nothing on D: but the destination's first directory: no directory
    // named with half a character.
    std::vector<std::string> top;
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA("D:\\*", &found);
    for (BOOL more = listing != INVALID_HANDLE_VALUE; more; more = FindNextFileA(listing, &found)) {
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            top.push_back(std::string("D:\\") + found.cFileName);
    }
    if (listing != INVALID_HANDLE_VALUE)
        FindClose(listing);
    size_t end = 3;
    while (end < dest.size() && dest[end] != '\\')
        end += IsDBCSLeadByte((BYTE)dest[end]) ? 2 : 1;
    ok(top == std::vector<std::string>({dest.substr(0, end)}), "D:\\ holds %s", Join(top).c_str());
    SetCase(nullptr);
}

// Code page 932: D:\ソフト\表 ends in 0x5C (ソ 83 5C, フ 83 74, ト 83 67,
// 表 95 5C); D:\ポスター holds a 0x7C (ポ 83 7C, ス 83 58: a letter); ゼ
// 83 5B and ゾ 83 5D.  950: 程式 B5 7B A6 A1, 功 A5 5C, 加 A5 5B, 工 A4 75.
// 936: 乗 81 5C, 亅 81 7C.  949: 갂 81 41, 갴 81 5A, 갵 81 61, 걕 81 7A.
const EastAsianCase kJapaneseCase = {932, "D:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C", "\x83\x5B\x83\x5D Tovarin", true};
const EastAsianCase kJapaneseBarCase = {932, "D:\\\x83\x7C\x83\x58\x83\x5E\x81\x5B", "Tovarin \x83\x5D", false};
const EastAsianCase kTraditionalChineseCase = {950, "D:\\\xB5\x7B\xA6\xA1\\\xA5\x5C", "\xA5\x5B\xA4\x75", true};
const EastAsianCase kSimplifiedChineseCase = {936, "D:\\\x81\x5C", "\x81\x7C\x81\x5C", true};
const EastAsianCase kKoreanCase = {949, "D:\\\x81\x41\x81\x5A\\\x81\x61\x81\x7A", "\x81\x41 Tovarin", false};

}  // namespace

void StartRemovalAt(int line, const std::string& dest, RemovalRecordState record)
{
    Installation in = MakeInstallationAt(line, dest, nullptr);
    if (record == kDamagedRecord)
        in.record += "FILE\t" + dest + "\\letter.tvd\tmaybe\r\n";
    if (record != kNoRecord)
        WriteRecordAt(line, in);
    else
        RemoveFileAt(line, dest + "\\tvremove.log");
    WatchProgram(kProgram);
    StartSetupAt(line, (dest + "\\tvremove.exe").c_str(), "", -1);
}

extern const Scenario kRemoveScenarios[] = {
    {"remove-full", RemoveFull},
    {"remove-quiet", RemoveQuiet},
    {"remove-in-use", RemoveInUseNT},
    {"remove-in-use-win95", RemoveInUseWindows95},
    {"remove-foreign-record", RemoveForeignRecord},
    {"remove-nothing", RemoveNothing},
    {"remove-group-kept", RemoveGroupKept},
    {"remove-one-of-two", RemoveOneOfTwo},
    {"remove-setup-installation", [] { RemoveSetupInstallation(false); }},
    {"remove-setup-installation-win95", [] { RemoveSetupInstallation(true); }},
    {"remove-cancelled-installation", RemoveCancelledInstallation},
    {"remove-killed-installation", RemoveKilledInstallation},
    {"remove-one-of-two-setup-installations", RemoveOneOfTwoSetupInstallations},
    {"recover-at-restart", RecoverAtRestart},
    {"east-asian-ja", [] { EastAsian(kJapaneseCase); }},
    {"east-asian-bar-ja", [] { EastAsian(kJapaneseBarCase); }},
    {"east-asian-zh_TW", [] { EastAsian(kTraditionalChineseCase); }},
    {"east-asian-zh_CN", [] { EastAsian(kSimplifiedChineseCase); }},
    {"east-asian-ko", [] { EastAsian(kKoreanCase); }},
    {nullptr, nullptr},
};
