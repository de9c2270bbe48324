// progman.exe DIR: a Program Manager stand-in for the end-to-end tests.
//
// A DDEML server for service and topic "PROGMAN" that never shows a window:
//   - the request for item "PROGMAN" in CF_TEXT is answered with the bytes of
//     DIR\groups.txt as they are, plus a terminating zero (no file: no data);
//   - every conversation and transaction is appended to DIR\log.txt, one
//     record a line:  "connect", "disconnect", "request ITEM FORMAT", and
//     "execute N " followed by the N bytes of the command exactly as they
//     came (the terminating zero included);
//   - a command is acknowledged (DDE_FACK), unless DIR\refuse.txt names it:
//     one command name a line (e.g. "AddItem"), and every command that
//     starts with "[NAME(" is then refused (DDE_FNOTPROCESSED), as Program
//     Manager refuses what it cannot do;
//   - DIR\ready appears once it serves; it stops when DIR\stop appears or
//     when its thread gets WM_QUIT.
//
// Wine's desktop process serves "PROGMAN" too.  A client's DdeConnect
// broadcasts WM_DDE_INITIATE to the top-level windows in z-order and keeps
// the first server that answers, so the stand-in puts its DDE windows above
// every other window (topmost): it answers first wherever it was started.
#include <windows.h>
#include <ddeml.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

DWORD instance = 0;
HSZ progman = nullptr;
std::string directory;

std::string PathOf(const char* name)
{
    return directory + "\\" + name;
}

void Append(const std::string& record)
{
    HANDLE file = CreateFileA(PathOf("log.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE |
                              FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, record.data(), (DWORD)record.size(), &written, nullptr);
    CloseHandle(file);
}

bool ReadWhole(const std::string& path, std::vector<BYTE>* out)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, nullptr), got = 0;
    out->assign(size, 0);
    bool done = size == INVALID_FILE_SIZE ? false : size == 0 || ReadFile(file, out->data(), size, &got, nullptr);
    CloseHandle(file);
    return done && got == size;
}

// Whether DIR\refuse.txt names the command: "[NAME(" at its start, the name
// in any letter case.
bool Refused(const std::string& command)
{
    std::vector<BYTE> list;
    if (!ReadWhole(PathOf("refuse.txt"), &list))
        return false;
    std::string names(list.begin(), list.end());
    for (size_t at = 0; at < names.size();) {
        size_t end = names.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = names.size();
        std::string prefix = "[" + names.substr(at, end - at) + "(";
        if (end > at && command.size() >= prefix.size()
            && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, command.data(), (int)prefix.size(), prefix.data(),
                              (int)prefix.size()) == CSTR_EQUAL)
            return true;
        at = end + 1;
    }
    return false;
}

std::string NameOf(HSZ hsz)
{
    char text[256] = "";
    DdeQueryStringA(instance, hsz, text, sizeof text, CP_WINANSI);
    return text;
}

HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    switch (type) {
    case XTYP_CONNECT:   // hsz1 the topic
        return (HDDEDATA)(ULONG_PTR)(DdeCmpStringHandles(hsz1, progman) == 0);
    case XTYP_CONNECT_CONFIRM:
        Append("connect\n");
        return nullptr;
    case XTYP_DISCONNECT:
        Append("disconnect\n");
        return nullptr;
    case XTYP_EXECUTE: {
        DWORD size = DdeGetData(data, nullptr, 0, 0);
        std::string bytes(size, '\0');
        if (size != 0)
            DdeGetData(data, (LPBYTE)&bytes[0], size, 0);
        Append("execute " + std::to_string(size) + " " + bytes + "\n");
        return (HDDEDATA)(ULONG_PTR)(Refused(bytes) ? DDE_FNOTPROCESSED : DDE_FACK);
    }
    case XTYP_REQUEST: {   // hsz2 the item
        std::string item = NameOf(hsz2);
        Append("request " + item + " " + std::to_string(format) + "\n");
        std::vector<BYTE> text;
        if (lstrcmpiA(item.c_str(), "PROGMAN") != 0 || format != CF_TEXT || !ReadWhole(PathOf("groups.txt"), &text))
            return nullptr;
        text.push_back(0);
        return DdeCreateDataHandle(instance, text.data(), (DWORD)text.size(), 0, hsz2, CF_TEXT, 0);
    }
    default:
        return nullptr;
    }
}

BOOL CALLBACK RaiseWindow(HWND window, LPARAM raised)
{
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ++*(int*)raised;
    return TRUE;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    directory = commandLine;
    while (!directory.empty() && (directory.back() == ' ' || directory.back() == '"'))
        directory.pop_back();
    while (!directory.empty() && (directory[0] == ' ' || directory[0] == '"'))
        directory.erase(0, 1);
    if (directory.empty())
        return 2;
    if (DdeInitializeA(&instance, Callback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0)
        != DMLERR_NO_ERROR)
        return 3;
    progman = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    if (!progman || !DdeNameService(instance, progman, nullptr, DNS_REGISTER))
        return 4;
    int raised = 0;
    EnumThreadWindows(GetCurrentThreadId(), RaiseWindow, (LPARAM)&raised);
    char ready[64];
    int n = snprintf(ready, sizeof ready, "serving, %d window(s) topmost\n", raised);
    HANDLE file = CreateFileA(PathOf("ready").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, ready, (DWORD)n, &written, nullptr);
        CloseHandle(file);
    }

    SetTimer(nullptr, 0, 50, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr
            && GetFileAttributesA(PathOf("stop").c_str()) != INVALID_FILE_ATTRIBUTES)
            break;
        DispatchMessageA(&message);
    }
    DdeNameService(instance, progman, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(instance, progman);
    DdeUninitialize(instance);
    return 0;
}
