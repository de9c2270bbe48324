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
#include "base/journal.h"
#include "resources/resource.h"
#include "shell/dialogs.h"

namespace {

const char* const kOpenCommandKeys[] = {"shell", "open", "command"};
const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TOVARIN.EXE";

// An open key with where it is, so that the record can name it.
struct Key {
    HKEY handle;
    HKEY root;
    char path[kPathBytes];
};

const char* RootName(HKEY root)
{
    return root == HKEY_CLASSES_ROOT ? "HKCR" : "HKLM";
}

// Opens or creates name under parent (a Key, or a root when parentKey is
// null).  A key that is not there yet is noted before it is made: the
// removal takes away only keys Setup made.
LONG CreateKey(HKEY root, const Key* parentKey, const char* name, Key* key)
{
    key->root = root;
    size_t length = parentKey != nullptr
                        ? ComposeText(key->path, kPathBytes, parentKey->path, "\\", name)
                        : CopyText(key->path, kPathBytes, name);
    if (length == 0)
        return ERROR_INSUFFICIENT_BUFFER;
    // Keys are made one level at a time, but for App Paths, whose parents
    // are Windows' own: the key itself tells whether Setup makes it.
    HKEY probe;
    if (RegOpenKeyExA(root, key->path, 0, KEY_READ, &probe) == ERROR_SUCCESS)
        RegCloseKey(probe);
    else
        NoteAction(kNoteKey, 0, RootName(root), key->path);
    DWORD disposition;
    return RegCreateKeyExA(root, key->path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, &key->handle, &disposition);
}

LONG SetTextWithNulTo(HKEY key, const char* name, const char* text, int length)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(length + 1));
}

// Writes a text value of length bytes (with or without its terminator).
LONG SetText(const Key* key, const char* name, const char* text, size_t length)
{
    NoteAction(kNoteValue, 0, RootName(key->root), key->path, name != nullptr ? name : "", text);
    return RegSetValueExA(key->handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(length));
}

LONG SetTextWithNul(const Key* key, const char* name, const char* text)
{
    return SetText(key, name, text, TextLength(text) + 1);
}

// A composed text that would not fit its buffer is not written: a cut path
// would send the shell to another file.
LONG SetComposed(const Key* key, const char* name, const char* text, size_t length)
{
    return length == 0 ? ERROR_INSUFFICIENT_BUFFER : SetTextWithNul(key, name, text);
}

// A text value of key into out (kPathBytes), ended within it; "" when it
// is not there or too long for a path.  The query's error.
LONG QueryText(HKEY key, const char* name, char* out)
{
    DWORD bytes = kPathBytes;
    LONG error = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(out), &bytes);
    // Written without its terminator: end it within the buffer.
    if (error != ERROR_SUCCESS || (bytes == kPathBytes && out[bytes - 1] != '\0'))
        bytes = 0;
    out[bytes < kPathBytes ? bytes : kPathBytes - 1] = '\0';
    return error;
}

// Removes a "Filename" that names a file no longer there: an earlier
// installation's template that still exists keeps serving the New menu,
// but a dangling name would make the shell report a missing template.
LONG RemoveStaleTemplateName(const Key* extension)
{
    HKEY shellNew;
    if (RegOpenKeyExA(extension->handle, "ShellNew", 0, KEY_ALL_ACCESS, &shellNew) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    char stored[kPathBytes];
    LONG error = QueryText(shellNew, "Filename", stored);
    if (error == ERROR_FILE_NOT_FOUND) {
        error = ERROR_SUCCESS;
    } else if (error == ERROR_SUCCESS || error == ERROR_MORE_DATA) {
        // A value too long for a path names no file.
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
    Key extension;
    if (CreateKey(HKEY_CLASSES_ROOT, nullptr, ".tvd", &extension) != ERROR_SUCCESS)
        return 0;
    LONG error = SetTextWithNul(&extension, nullptr, "tvdfile");
    if (error == ERROR_SUCCESS && templatePath[0] == '\0') {
        error = RemoveStaleTemplateName(&extension);
    } else if (error == ERROR_SUCCESS) {
        Key shellNew;
        error = CreateKey(HKEY_CLASSES_ROOT, &extension, "ShellNew", &shellNew);
        if (error == ERROR_SUCCESS) {
            // The full path of where the template is, written without its
            // terminating zero, as shells of the time expect.
            error = SetText(&shellNew, "Filename", templatePath, TextLength(templatePath));
            RegCloseKey(shellNew.handle);
        }
    }
    RegCloseKey(extension.handle);
    return error == ERROR_SUCCESS;
}

// "tvdfile" or "tvsfile": description, open command and icon.
int RegisterFileType(const char* type, const char* description, const char* destDir, int icon)
{
    Key typeKey;
    if (CreateKey(HKEY_CLASSES_ROOT, nullptr, type, &typeKey) != ERROR_SUCCESS)
        return 0;
    LONG error = SetTextWithNul(&typeKey, nullptr, description);
    if (error == ERROR_SUCCESS) {
        Key nested[3];
        int opened = 0;
        const Key* parent = &typeKey;
        while (error == ERROR_SUCCESS && opened < 3) {
            error = CreateKey(HKEY_CLASSES_ROOT, parent, kOpenCommandKeys[opened], &nested[opened]);
            if (error == ERROR_SUCCESS)
                parent = &nested[opened++];
        }
        if (error == ERROR_SUCCESS) {
            char command[kPathBytes];
            error = SetComposed(&nested[2], nullptr, command,
                                OpenCommandText(destDir, command, sizeof command));
        }
        while (opened > 0)
            RegCloseKey(nested[--opened].handle);
    }
    Key iconKey;
    if (error == ERROR_SUCCESS) {
        error = CreateKey(HKEY_CLASSES_ROOT, &typeKey, "DefaultIcon", &iconKey);
        if (error == ERROR_SUCCESS) {
            char text[kPathBytes];
            error = SetComposed(&iconKey, nullptr, text, IconText(destDir, icon, text, sizeof text));
            RegCloseKey(iconKey.handle);
        }
    }
    RegCloseKey(typeKey.handle);
    return error == ERROR_SUCCESS;
}

int RegisterSettingsExtension()
{
    Key extension;
    if (CreateKey(HKEY_CLASSES_ROOT, nullptr, ".tvs", &extension) != ERROR_SUCCESS)
        return 0;
    LONG error = SetTextWithNul(&extension, nullptr, "tvsfile");
    RegCloseKey(extension.handle);
    return error == ERROR_SUCCESS;
}

int RegisterAppPath(const char* destDir)
{
    Key key;
    if (CreateKey(HKEY_LOCAL_MACHINE, nullptr, kAppPaths, &key) != ERROR_SUCCESS)
        return 0;
    char path[kPathBytes];
    LONG error = SetComposed(&key, nullptr, path, AppPathText(destDir, path, sizeof path));
    if (error == ERROR_SUCCESS)
        error = SetTextWithNul(&key, "Path", destDir);
    RegCloseKey(key.handle);
    return error == ERROR_SUCCESS;
}

// HKLM's path of the entry's key; 0 when there is none.
size_t EntryPath(uint32_t entry, char* path)
{
    char name[32];
    return entry != 0 && EntryKeyName(entry, name, sizeof name) != 0
               ? ComposeText(path, kPathBytes, kUninstallPath, "\\", name)
               : 0;
}

}  // namespace

int RegisterShellTypes(const char* destDir, const char* templatePath)
{
    // The types' names are the user's language's; the English ones stand in
    // for a string that cannot be loaded.
    char document[IDS_TYPE_DOCUMENT_BYTES], settings[IDS_TYPE_SETTINGS_BYTES];
    if (!LoadResourceText(IDS_TYPE_DOCUMENT, document, sizeof document))
        CopyText(document, sizeof document, "Tovarin Document");
    if (!LoadResourceText(IDS_TYPE_SETTINGS, settings, sizeof settings))
        CopyText(settings, sizeof settings, "Tovarin Setup");
    // Every group is written, whatever became of the one before.
    int written = RegisterDocumentExtension(templatePath);
    written &= RegisterFileType("tvdfile", document, destDir, 1);
    written &= RegisterSettingsExtension();
    written &= RegisterFileType("tvsfile", settings, destDir, 2);
    written &= RegisterAppPath(destDir);
    return written;
}

uint32_t FindRemovalEntry(const char* destDir, int* existed)
{
    EntrySearch search;
    StartEntrySearch(&search);
    for (uint32_t number = 1; number <= kMostEntries; ++number) {
        char path[kPathBytes], location[kPathBytes], whole[kPathBytes];
        HKEY entry;
        if (EntryPath(number, path) == 0 ||
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &entry) != ERROR_SUCCESS)
            continue;
        // An earlier Setup may have stored another spelling of it.
        QueryText(entry, "InstallLocation", location);
        WholePath(location, whole);
        RegCloseKey(entry);
        ConsiderEntry(&search, number, whole, destDir);
    }
    *existed = search.found != 0;
    return ChosenEntry(&search);
}


int RegisterRemoval(const char* destDir, uint32_t entry, uint32_t estimatedKB)
{
    // Texts are formats of the destination (shorter than kPathBytes, so
    // every one fits wsprintfA's 1,024 bytes); then three numbers.
    static const char* const kValues[][2] = {
        {"DisplayName", nullptr},
        {"UninstallString", "\"%s\\tvremove.exe\""},
        {"InstallLocation", "%s"},
        {"DisplayIcon", "%s\\tovarin.exe,0"},
        {"DisplayVersion", "1.0"},
        {"Publisher", "Tovarin"},
        {"QuietUninstallString", "\"%s\\tvremove.exe\" /quiet"},
        {"NoModify", nullptr},
        {"NoRepair", nullptr},
        {"EstimatedSize", nullptr},
    };
    const int kSizeValue = 9;
    // Not in the record: the removal finds this entry by its InstallLocation.
    char path[kPathBytes];
    HKEY key;
    DWORD disposition;
    if (EntryPath(entry, path) == 0 ||
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) != ERROR_SUCCESS)
        return 0;
    // Whole from the first write, so that an installation stopped before
    // its end is removed as any other, quietly too; only its size waits
    // for the end.
    int i = estimatedKB != 0 ? kSizeValue : 0;
    int end = estimatedKB != 0 ? kSizeValue + 1 : kSizeValue;
    LONG error = ERROR_SUCCESS;
    for (; error == ERROR_SUCCESS && i < end; ++i) {
        char text[1024];
        DWORD number = i == kSizeValue ? estimatedKB : 1;
        if (i == 0)
            error = SetTextWithNulTo(key, kValues[i][0], text,
                                     static_cast<int>(EntryDisplayName(entry, destDir, text, sizeof text)));
        else if (kValues[i][1] != nullptr)
            error = SetTextWithNulTo(key, kValues[i][0], text, wsprintfA(text, kValues[i][1], destDir));
        else
            error = RegSetValueExA(key, kValues[i][0], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                   sizeof number);
    }
    RegCloseKey(key);
    return error == ERROR_SUCCESS;
}

void DeleteRemovalEntry(uint32_t entry)
{
    char path[kPathBytes];
    if (EntryPath(entry, path) != 0)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
}
