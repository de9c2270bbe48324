// The shell's knowledge of Tovarin: the document and settings file types,
// the document template of the New menu, and the App Paths entry.
//
// Five independent groups; within a group each step runs only if every
// step before it succeeded.  A failure skips the rest of its group, and
// the result says that something was left out.
#include "integration/integration.h"
#include "integration/registrytext.h"
#include "catalogue/options.h"
#include "base/paths.h"
#include "base/pathtext.h"

namespace {

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

// Removes a "Filename" that names a file no longer there: an earlier
// installation's template that still exists keeps serving the New menu,
// but a dangling name would make the shell report a missing template.
LONG RemoveStaleTemplateName(HKEY extension)
{
    HKEY shellNew;
    if (RegOpenKeyExA(extension, "ShellNew", 0, KEY_ALL_ACCESS, &shellNew) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    char stored[kPathBytes];
    DWORD bytes = sizeof stored;
    LONG error = RegQueryValueExA(shellNew, "Filename", nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(stored), &bytes);
    if (error == ERROR_FILE_NOT_FOUND) {
        error = ERROR_SUCCESS;
    } else if (error == ERROR_SUCCESS || error == ERROR_MORE_DATA) {
        // Written without its terminator: end it within the buffer.  A
        // value too long for a path names no file.
        if (error != ERROR_SUCCESS || (bytes == sizeof stored && stored[bytes - 1] != '\0'))
            bytes = 0;
        stored[bytes < sizeof stored ? bytes : sizeof stored - 1] = '\0';
        error = stored[0] != '\0' && FileExists(stored)
                    ? ERROR_SUCCESS
                    : RegDeleteValueA(shellNew, "Filename");
    }
    RegCloseKey(shellNew);
    return error;
}

// ".tvd", its type and the New menu's template.
int RegisterDocumentExtension(const char* templatePath)
{
    HKEY extension;
    if (CreateKey(HKEY_CLASSES_ROOT, ".tvd", &extension) != ERROR_SUCCESS)
        return 0;
    LONG error = SetTextWithNul(extension, nullptr, "tvdfile");
    if (error == ERROR_SUCCESS && templatePath[0] == '\0') {
        error = RemoveStaleTemplateName(extension);
    } else if (error == ERROR_SUCCESS) {
        HKEY shellNew;
        error = CreateKey(extension, "ShellNew", &shellNew);
        if (error == ERROR_SUCCESS) {
            // The full path of where the template is, written without its
            // terminating zero, as shells of the time expect.
            error = SetText(shellNew, "Filename", templatePath, TextLength(templatePath));
            RegCloseKey(shellNew);
        }
    }
    RegCloseKey(extension);
    return error == ERROR_SUCCESS;
}

// "tvdfile" or "tvsfile": description, open command and icon.
int RegisterFileType(const char* type, const char* description, const char* destDir, int icon)
{
    HKEY typeKey;
    if (CreateKey(HKEY_CLASSES_ROOT, type, &typeKey) != ERROR_SUCCESS)
        return 0;
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
    if (error == ERROR_SUCCESS) {
        error = CreateKey(typeKey, "DefaultIcon", &iconKey);
        if (error == ERROR_SUCCESS) {
            char text[kPathBytes];
            error = SetComposed(iconKey, nullptr, text, IconText(destDir, icon, text, sizeof text));
            RegCloseKey(iconKey);
        }
    }
    RegCloseKey(typeKey);
    return error == ERROR_SUCCESS;
}

int RegisterSettingsExtension()
{
    HKEY extension;
    if (CreateKey(HKEY_CLASSES_ROOT, ".tvs", &extension) != ERROR_SUCCESS)
        return 0;
    LONG error = SetTextWithNul(extension, nullptr, "tvsfile");
    RegCloseKey(extension);
    return error == ERROR_SUCCESS;
}

int RegisterAppPath(const char* destDir)
{
    HKEY key;
    if (CreateKey(HKEY_LOCAL_MACHINE, kAppPaths, &key) != ERROR_SUCCESS)
        return 0;
    char path[kPathBytes];
    LONG error = SetComposed(key, nullptr, path, AppPathText(destDir, path, sizeof path));
    if (error == ERROR_SUCCESS)
        error = SetTextWithNul(key, "Path", destDir);
    RegCloseKey(key);
    return error == ERROR_SUCCESS;
}

}  // namespace

int RegisterShellTypes(const char* destDir, const char* templatePath)
{
    // Every group is written, whatever became of the one before.
    int written = RegisterDocumentExtension(templatePath);
    written &= RegisterFileType("tvdfile", "Tovarin Document", destDir, 1);
    written &= RegisterSettingsExtension();
    written &= RegisterFileType("tvsfile", "Tovarin Setup", destDir, 2);
    written &= RegisterAppPath(destDir);
    return written;
}
