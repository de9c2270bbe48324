// The shell's knowledge of Tovarin: the document and settings file types,
// the document template of the New menu, and the App Paths entry.
//
// Five independent groups; within a group each step runs only if every
// step before it succeeded.  Nothing is reported: a failure only skips the
// rest of its group.
#include "integration/integration.h"
#include "integration/registrytext.h"
#include "catalogue/options.h"
#include "base/pathtext.h"

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TOVARIN.EXE";
const char* const kOpenCommandKeys[] = {"shell", "open", "command"};

LONG CreateKey(HKEY parent, const char* name, HKEY* key)
{
    DWORD disposition;
    return RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, key, &disposition);
}

// Writes a text value of length bytes (with or without its terminator).
LONG SetText(HKEY key, const char* name, const char* text, size_t length)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(length));
}

LONG SetTextWithNul(HKEY key, const char* name, const char* text)
{
    return SetText(key, name, text, TextLength(text) + 1);
}

// A composed text that would not fit its buffer is not written: a cut path
// would send the shell to another file.
LONG SetComposed(HKEY key, const char* name, const char* text, size_t length)
{
    return length == 0 ? ERROR_INSUFFICIENT_BUFFER : SetTextWithNul(key, name, text);
}

// ".tvd", its type and the New menu's template.
void RegisterDocumentExtension()
{
    HKEY extension;
    if (CreateKey(HKEY_CLASSES_ROOT, ".tvd", &extension) != ERROR_SUCCESS)
        return;
    HKEY shellNew;
    if (SetTextWithNul(extension, nullptr, "tvdfile") == ERROR_SUCCESS &&
        CreateKey(extension, "ShellNew", &shellNew) == ERROR_SUCCESS) {
        HKEY folders;
        char templates[kPathBytes];
        DWORD bytes = sizeof templates;
        LONG read = RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, &folders);
        if (read == ERROR_SUCCESS) {
            read = RegQueryValueExA(folders, "Templates", nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(templates), &bytes);
            RegCloseKey(folders);
        }
        // The value read may lack its terminator: end it within the buffer.
        if (read == ERROR_SUCCESS) {
            templates[bytes < sizeof templates ? bytes : sizeof templates - 1] = '\0';
            char filename[kPathBytes];
            size_t length = TemplateFilenameText(templates, filename, sizeof filename);
            // Written without its terminating zero, as shells of the time expect.
            if (length != 0)
                SetText(shellNew, "Filename", filename, length);
        }
        RegCloseKey(shellNew);
    }
    RegCloseKey(extension);
}

// "tvdfile" or "tvsfile": description, open command and icon.
void RegisterFileType(const char* type, const char* description, const char* destDir, int icon)
{
    HKEY typeKey;
    if (CreateKey(HKEY_CLASSES_ROOT, type, &typeKey) != ERROR_SUCCESS)
        return;
    LONG error = SetTextWithNul(typeKey, nullptr, description);
    if (error == ERROR_SUCCESS) {
        HKEY nested[3];
        int opened = 0;
        HKEY parent = typeKey;
        while (error == ERROR_SUCCESS && opened < 3) {
            error = CreateKey(parent, kOpenCommandKeys[opened], &nested[opened]);
            if (error == ERROR_SUCCESS)
                parent = nested[opened++];
        }
        if (error == ERROR_SUCCESS) {
            char command[kPathBytes];
            error = SetComposed(nested[2], nullptr, command,
                                OpenCommandText(destDir, command, sizeof command));
        }
        while (opened > 0)
            RegCloseKey(nested[--opened]);
    }
    HKEY iconKey;
    if (error == ERROR_SUCCESS && CreateKey(typeKey, "DefaultIcon", &iconKey) == ERROR_SUCCESS) {
        char text[kPathBytes];
        SetComposed(iconKey, nullptr, text, IconText(destDir, icon, text, sizeof text));
        RegCloseKey(iconKey);
    }
    RegCloseKey(typeKey);
}

void RegisterSettingsExtension()
{
    HKEY extension;
    if (CreateKey(HKEY_CLASSES_ROOT, ".tvs", &extension) != ERROR_SUCCESS)
        return;
    SetTextWithNul(extension, nullptr, "tvsfile");
    RegCloseKey(extension);
}

void RegisterAppPath(const char* destDir)
{
    HKEY key;
    if (CreateKey(HKEY_LOCAL_MACHINE, kAppPaths, &key) != ERROR_SUCCESS)
        return;
    char path[kPathBytes];
    if (SetComposed(key, nullptr, path, AppPathText(destDir, path, sizeof path)) == ERROR_SUCCESS)
        SetTextWithNul(key, "Path", destDir);
    RegCloseKey(key);
}

}  // namespace

int RegisterShellTypes(const char* destDir)
{
    RegisterDocumentExtension();
    RegisterFileType("tvdfile", "Tovarin Document", destDir, 1);
    RegisterSettingsExtension();
    RegisterFileType("tvsfile", "Tovarin Setup", destDir, 2);
    RegisterAppPath(destDir);
    return 1;
}
