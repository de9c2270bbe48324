// make demo: the whole road on the sample distribution that tests/e2e/demo
// lays into A:, with Wine's own Program Manager, a picture of every page and
// a report of what landed on disk, in the Start Menu and in the registry;
// then the removal, started as Add/Remove Programs starts it, while
// Tovarin's program file is in use.
#include <windows.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "resources/tvremove.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/scenarios.h"

namespace {

const char kDest[] = "C:\\Program Files\\Tovarin";
const char kGroup[] = "Tovarin95 Demo";

std::string RegistryText(HKEY root, const char* key, const char* value)
{
    char data[512] = "";
    DWORD bytes = sizeof data - 1;
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "(missing)";
    if (RegQueryValueExA(opened, value, nullptr, nullptr, (BYTE*)data, &bytes) != ERROR_SUCCESS)
        strcpy(data, "(missing)");
    RegCloseKey(opened);
    return data;
}

void Report()
{
    std::vector<std::string> files = FilesUnder(kDest);
    Trace("installed %u files under %s, among them:", (unsigned)files.size(), kDest);
    for (size_t i = 0; i < files.size() && i < 8; ++i)
        Trace("    %s", files[i].c_str());
    char programs[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("APPDATA", programs, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::string group = std::string(programs) + "\\Microsoft\\Windows\\Start Menu\\Programs\\" + kGroup;
        for (const std::string& item : FilesUnder(group))
            Trace("Start Menu group \"%s\": %s", kGroup, item.c_str());
    }
    Trace("ShellNew template: %s", FileExists("C:\\windows\\ShellNew\\default.tvd") ? "C:\\windows\\ShellNew\\default.tvd" : "(none)");
    Trace("HKCR\\.tvd = %s", RegistryText(HKEY_CLASSES_ROOT, ".tvd", nullptr).c_str());
    Trace("HKCR\\tvdfile = %s", RegistryText(HKEY_CLASSES_ROOT, "tvdfile", nullptr).c_str());
    Trace("HKCR\\tvdfile\\shell\\open\\command = %s",
          RegistryText(HKEY_CLASSES_ROOT, "tvdfile\\shell\\open\\command", nullptr).c_str());
    Trace("HKCR\\tvsfile\\DefaultIcon = %s", RegistryText(HKEY_CLASSES_ROOT, "tvsfile\\DefaultIcon", nullptr).c_str());
    Trace("App Paths\\TOVARIN.EXE = %s",
          RegistryText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TOVARIN.EXE",
                       nullptr).c_str());
}

void PrepareDemo()
{
    // An earlier installation with a settings file, so that the
    // existing-installations page shows; and a ShellNew folder for the
    // document template, which Wine's prefix lacks.
    MakeDirs("C:\\Apps\\Tovarin");
    WriteBytes("C:\\Apps\\Tovarin\\tovarin.exe", "MZ", 2);
    WriteBytes("C:\\Apps\\Tovarin\\tovarin.tvs", "settings", 8);
    MakeDirs("C:\\windows\\ShellNew");
}

void Demo()
{
    PrepareDemo();
    StartSetup("");
    NeedDialog(IDD_PLEASE_WAIT);
    Trace("please-wait page: reading the catalogue and searching the fixed drives");
    Sleep(150);
    ShotNow("please-wait");

    HWND page = NeedDialog(IDD_EXISTING);
    Sleep(200);
    Shot("existing");
    Trace("existing-installations page: choosing another directory");
    Click(page, IDC_OTHER_DIRECTORY);

    page = NeedDialog(IDD_DESTINATION);
    SetText(page, IDC_DEST_EDIT, kDest);
    Shot("destination");
    Trace("destination page: %s", kDest);
    Click(page, IDC_DEST_NEXT);
    NeedDialog(IDD_MESSAGE_BASE + MSG_CREATE_DIR);
    Shot("create-directory");
    Answer(MSG_CREATE_DIR, 1, page);

    page = NeedDialog(IDD_COMPONENTS);
    NeedDialog(IDD_PANEL_COMPONENTS);
    Shot("components");
    Trace("components page: %s KB required, %s KB free", ControlText(page, IDC_REQUIRED_KB).c_str(),
          ControlText(page, IDC_FREE_KB).c_str());
    Click(page, IDC_DETAILS);
    HWND custom = NeedDialog(IDD_CUSTOM);
    Shot("custom-components");
    Click(custom, IDOK);
    NeedGone(custom);
    Click(page, IDC_COMPONENTS_NEXT);

    HWND progress = NeedDialog(IDD_PROGRESS);
    Sleep(40);
    ShotNow("copying");
    Trace("copying");
    NeedGone(progress);

    page = NeedDialog(IDD_GROUP);
    NeedDialog(IDD_PANEL_GROUP);
    Sleep(200);
    Shot("group");
    Trace("program-group page: %s", ControlText(page, IDC_GROUP_EDIT).c_str());
    Click(page, IDOK);
    CloseFolderWindows(kGroup);

    HWND finish = NeedDialog(IDD_FINISH);
    Shot("finish");
    Click(finish, IDOK);
    DWORD code = NeedExit();
    ok(code == 0, "exit code %lu, expected 0", code);
    Trace("setup.exe ended with exit code %lu", code);
    Report();

    // The user writes a letter, then removes Tovarin in Add/Remove Programs
    // while Tovarin still runs (its program file held open).
    std::string letter = std::string(kDest) + "\\letter.tvd";
    WriteBytes(letter, "Dear Ann", 8);
    std::string program = std::string(kDest) + "\\tovarin.exe";
    HANDLE held = CreateFileA(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    WatchProgram((std::string(kDest) + "\\tvremove.exe").c_str());
    StartSetupAt(__LINE__, "C:\\windows\\system32\\uninstaller.exe", "--remove Tovarin", -1);
    Trace("Add/Remove Programs: removing Tovarin while tovarin.exe is in use");
    NeedDialog(REMOVE_BOX_BASE + BOX_CONFIRM_REMOVE);
    Shot("remove-confirm");
    Answer(BOX_CONFIRM_REMOVE, ANSWER_REMOVE, nullptr);
    NeedDialog(REMOVE_BOX_BASE + BOX_KEEP_SETTINGS);
    Shot("remove-keep-settings");
    Answer(BOX_KEEP_SETTINGS, ANSWER_KEEP, nullptr);
    NeedDialog(REMOVE_BOX_BASE + BOX_FILE_IN_USE);
    Shot("remove-in-use");
    Trace("removal: %s is in use; Tovarin is closed, and Retry", program.c_str());
    CloseHandle(held);
    Answer(BOX_FILE_IN_USE, ANSWER_RETRY, nullptr);
    HWND removed = NeedDialog(REMOVE_BOX_BASE + BOX_REMOVED);
    Shot("removed");
    Trace("removal: \"%s\"", ControlText(removed, IDC_BOX_TEXT).c_str());
    Answer(BOX_REMOVED, 1, nullptr);
    NeedWatchedGone(30000);
    CloseFolderWindows(kGroup);
    std::vector<std::string> left = FilesUnder(kDest);
    for (const std::string& file : left)
        Trace("left in %s: %s", kDest, file.c_str());
    ok(left == std::vector<std::string>({"letter.tvd", "tovarin.tvs"}), "the removal left %u files",
       (unsigned)left.size());
}

}  // namespace

// Run by tests/e2e/demo, not by ctest.
extern const Scenario kExtraScenarios[] = {
    {"demo", Demo},
    {"prepare-demo", PrepareDemo},
    {nullptr, nullptr},
};
