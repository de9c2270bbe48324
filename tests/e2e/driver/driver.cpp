// The driver library: see driver.h.
#include "tests/e2e/driver/driver.h"
#include "resources/resource.h"

#include <tlhelp32.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace {

// ---- Scenario state ---------------------------------------------------------

std::string scenarioName;
std::string shotDirectory;
std::string caseLabel;
int failures = 0;
int shotCount = 0;

PROCESS_INFORMATION setupProcess;
bool setupStarted = false;
bool setupEnded = false;
DWORD setupExitCode = 0;

// The removal program's file name, lower case, once WatchProgram named it.
std::string watchedImage;
std::vector<DWORD> watchedPids;
DWORD watchedAt = 0;

void Report(int line, const char* kind, const char* format, va_list args)
{
    char text[2048];
    vsnprintf(text, sizeof text, format, args);
    if (caseLabel.empty())
        printf("%s:%d: %s: %s\n", scenarioName.c_str(), line, kind, text);
    else
        printf("%s [%s]:%d: %s: %s\n", scenarioName.c_str(), caseLabel.c_str(), line, kind, text);
    fflush(stdout);
}

std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring out((size_t)n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), &out[0], n);
    return out;
}

std::string Narrow(const wchar_t* text, size_t length)
{
    if (length == 0)
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text, (int)length, nullptr, 0, nullptr, nullptr);
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, (int)length, &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Lower(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(&text[0], (DWORD)text.size());
    return text;
}

// Long paths go through the \\?\ form, which the wide calls take past 260.
std::wstring FilePath(const std::string& path)
{
    std::wstring wide = Wide(path);
    if (wide.size() >= 240 && wide.compare(0, 4, L"\\\\?\\") != 0)
        wide = L"\\\\?\\" + wide;
    return wide;
}

// ---- Dialog templates of setup.exe ---------------------------------------------

std::vector<DialogTemplate> templates;
std::string templatesPath;
LANGID runLanguage = 0;
std::vector<std::pair<HWND, int>> idCache;

// A bounds-checked reader over a template's bytes.
struct TemplateReader {
    const BYTE* bytes;
    size_t size;
    size_t offset;
    bool bad;
};

unsigned ReadWord(TemplateReader* r)
{
    if (r->offset + 2 > r->size) {
        r->bad = true;
        return 0;
    }
    unsigned v = (unsigned)(r->bytes[r->offset] | r->bytes[r->offset + 1] << 8);
    r->offset += 2;
    return v;
}

DWORD ReadDword(TemplateReader* r)
{
    DWORD low = ReadWord(r);
    return low | (DWORD)ReadWord(r) << 16;
}

// A string or 0xFFFF + ordinal or 0 (empty).
void ReadSzOrOrd(TemplateReader* r, std::wstring* text, bool* isString, unsigned* ordinal)
{
    text->clear();
    *isString = false;
    *ordinal = 0;
    unsigned first = ReadWord(r);
    if (first == 0xFFFF) {
        *ordinal = ReadWord(r);
        return;
    }
    *isString = true;
    while (first != 0 && !r->bad) {
        text->push_back((wchar_t)first);
        first = ReadWord(r);
    }
}

void AlignDword(TemplateReader* r)
{
    r->offset = (r->offset + 3) & ~(size_t)3;
}

const wchar_t* AtomClass(unsigned atom)
{
    switch (atom) {
    case 0x80: return L"button";
    case 0x81: return L"edit";
    case 0x82: return L"static";
    case 0x83: return L"listbox";
    case 0x84: return L"scrollbar";
    case 0x85: return L"combobox";
    default:   return L"?";
    }
}

} // namespace

// Parses DLGTEMPLATE and DLGTEMPLATEEX.  Returns false on a malformed one.
bool ParseDialogTemplate(const BYTE* bytes, size_t size, DialogTemplate* out)
{
    TemplateReader r = {bytes, size, 0, false};
    out->font = TemplateFont();
    bool extended = size >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    DWORD style;
    unsigned count;
    if (extended) {
        r.offset = 4;
        ReadDword(&r);                    // help id
        ReadDword(&r);                    // extended style
        style = ReadDword(&r);
    } else {
        style = ReadDword(&r);
        ReadDword(&r);
    }
    out->style = style;
    count = ReadWord(&r);
    r.offset += 8;                        // x, y, cx, cy
    std::wstring text;
    bool isString;
    unsigned ordinal;
    ReadSzOrOrd(&r, &text, &isString, &ordinal);   // menu
    ReadSzOrOrd(&r, &text, &isString, &ordinal);   // class
    ReadSzOrOrd(&r, &out->caption, &isString, &ordinal);
    if (style & DS_SETFONT) {
        out->font.points = (int)ReadWord(&r);
        if (extended) {
            out->font.weight = (int)ReadWord(&r);
            unsigned italicCharset = ReadWord(&r);
            out->font.italic = (italicCharset & 0xFF) != 0;
            out->font.charset = (int)(italicCharset >> 8);
        }
        bool isFaceString;
        unsigned faceOrdinal;
        ReadSzOrOrd(&r, &out->font.face, &isFaceString, &faceOrdinal);
    }
    for (unsigned i = 0; i < count && !r.bad; i++) {
        AlignDword(&r);
        TemplateControl control = TemplateControl();
        if (extended) {
            r.offset += 8;                // help id, extended style
            control.style = ReadDword(&r);
        } else {
            control.style = ReadDword(&r);
            ReadDword(&r);                // extended style
        }
        control.x = (int)(short)ReadWord(&r);
        control.y = (int)(short)ReadWord(&r);
        control.cx = (int)(short)ReadWord(&r);
        control.cy = (int)(short)ReadWord(&r);
        control.id = extended ? ReadDword(&r) & 0xFFFF : ReadWord(&r);
        std::wstring className;
        ReadSzOrOrd(&r, &className, &isString, &ordinal);
        control.className = isString ? Lower(className) : AtomClass(ordinal);
        ReadSzOrOrd(&r, &control.text, &control.hasText, &ordinal);
        unsigned extra = ReadWord(&r);
        r.offset += extra;
        out->controls.push_back(control);
    }
    return !r.bad && r.offset <= size;
}

namespace {

// The program's template in the run's language; in US English when it has
// none in that language, so that the driver still finds its way and the
// language check reports the English texts.
BOOL CALLBACK AddTemplate(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR)
{
    if (!IS_INTRESOURCE(name))
        return TRUE;
    HRSRC found = FindResourceExA(module, type, name, RunLanguage());
    if (!found)
        found = FindResourceExA(module, type, name, kEnglishUS);
    if (!found)
        found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* bytes = loaded ? (const BYTE*)LockResource(loaded) : nullptr;
    if (!bytes)
        return TRUE;
    DialogTemplate dialog = DialogTemplate();
    dialog.id = (int)(ULONG_PTR)name;
    if (ParseDialogTemplate(bytes, SizeofResource(module, found), &dialog))
        templates.push_back(dialog);
    else
        printf("driver: dialog template %d of setup.exe cannot be parsed\n", dialog.id);
    return TRUE;
}

void LoadTemplates(const char* path)
{
    templates.clear();
    templatesPath = path;
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        printf("driver: cannot read the dialog templates of %s (error %lu)\n", path, GetLastError());
        return;
    }
    EnumResourceNamesA(module, RT_DIALOG, AddTemplate, 0);
    FreeLibrary(module);
}

} // namespace

std::wstring KeptText(HWND window)
{
    std::vector<wchar_t> text(4096);
    int n = InternalGetWindowText(window, text.data(), (int)text.size());
    return std::wstring(text.data(), (size_t)(n > 0 ? n : 0));
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[128];
    int n = GetClassNameW(window, name, 128);
    return Lower(std::wstring(name, (size_t)(n > 0 ? n : 0)));
}

std::string ToAnsi(const std::wstring& text)
{
    return Narrow(text.data(), text.size());
}

std::wstring FromAnsi(const std::string& text)
{
    return Wide(text);
}

namespace {

int MatchTemplate(HWND dialog)
{
    std::wstring caption = KeptText(dialog);
    std::vector<TemplateControl> live;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        TemplateControl control = TemplateControl();
        control.id = (unsigned)GetDlgCtrlID(child) & 0xFFFF;
        control.className = ClassOf(child);
        control.text = KeptText(child);
        control.hasText = true;
        live.push_back(control);
    }
    auto key = [](const TemplateControl& c) { return std::make_pair(c.id, c.className); };
    std::vector<std::pair<unsigned, std::wstring>> liveKeys;
    for (const TemplateControl& c : live)
        liveKeys.push_back(key(c));
    std::sort(liveKeys.begin(), liveKeys.end());

    int best = 0, bestScore = -1, ties = 0;
    for (const DialogTemplate& t : templates) {
        if (t.caption != caption || t.controls.size() != live.size())
            continue;
        std::vector<std::pair<unsigned, std::wstring>> keys;
        for (const TemplateControl& c : t.controls)
            keys.push_back(key(c));
        std::sort(keys.begin(), keys.end());
        if (keys != liveKeys)
            continue;
        // Buttons and labels keep their template texts; count the matches.
        int score = 0;
        for (const TemplateControl& c : t.controls) {
            if (!c.hasText || (c.className != L"button" && c.className != L"static"))
                continue;
            for (const TemplateControl& l : live)
                if (l.id == c.id && l.className == c.className && l.text == c.text) {
                    score++;
                    break;
                }
        }
        if (score > bestScore) {
            best = t.id;
            bestScore = score;
            ties = 0;
        } else if (score == bestScore) {
            ties++;
        }
    }
    if (ties > 0)
        printf("driver: a dialog matches several templates equally; taking %d\n", best);
    return best;
}

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

// The processes of the watched file name, found again at most every poll.
const std::vector<DWORD>& WatchedPids()
{
    if (watchedImage.empty() || (GetTickCount() - watchedAt < kPollMs && !watchedPids.empty()))
        return watchedPids;
    watchedPids.clear();
    watchedAt = GetTickCount();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return watchedPids;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        std::string name = entry.szExeFile;
        size_t slash = name.find_last_of('\\');
        if (slash != std::string::npos)
            name = name.substr(slash + 1);
        for (char& c : name)
            c = (char)tolower((unsigned char)c);
        if (name == watchedImage)
            watchedPids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return watchedPids;
}

bool OwnedByProgram(HWND window)
{
    DWORD pid = ProcessOf(window);
    if (setupStarted && pid == setupProcess.dwProcessId)
        return true;
    const std::vector<DWORD>& pids = WatchedPids();
    return std::find(pids.begin(), pids.end(), pid) != pids.end();
}

bool IsSetupDialog(HWND window)
{
    return OwnedByProgram(window) && IsWindowVisible(window) && ClassOf(window) == L"#32770";
}

struct WindowList {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context)
{
    ((WindowList*)context)->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> SetupWindows()
{
    WindowList list;
    EnumWindows(CollectWindow, (LPARAM)&list);
    std::vector<HWND> out;
    if (!setupStarted && watchedImage.empty())
        return out;
    watchedAt = 0;
    for (HWND w : list.windows)
        if (OwnedByProgram(w))
            out.push_back(w);
    return out;
}

bool UpdateEnded()
{
    if (!setupStarted || setupEnded)
        return setupEnded;
    if (WaitForSingleObject(setupProcess.hProcess, 0) == WAIT_OBJECT_0) {
        GetExitCodeProcess(setupProcess.hProcess, &setupExitCode);
        setupEnded = true;
    }
    return setupEnded;
}

std::string DialogList()
{
    std::string out;
    for (int id : ShownDialogs()) {
        char one[16];
        snprintf(one, sizeof one, "%s%d", out.empty() ? "" : ", ", id);
        out += one;
    }
    return out.empty() ? "none" : out;
}

// Lets setup.exe work off its queue and paint before a screenshot.
void Settle()
{
    for (int round = 0; round < 2; round++) {
        for (HWND w : SetupWindows()) {
            DWORD_PTR result;
            SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 500, &result);
        }
        Sleep(100);
    }
}

void WriteLE16(BYTE* p, unsigned v)
{
    p[0] = (BYTE)v;
    p[1] = (BYTE)(v >> 8);
}

void WriteLE32Bytes(BYTE* p, DWORD v)
{
    WriteLE16(p, v & 0xFFFF);
    WriteLE16(p + 2, v >> 16);
}

bool SaveScreen(const std::string& path)
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;            // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool done = false;
    if (bitmap && memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        done = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
        SelectObject(memory, old);
        GdiFlush();
    }
    if (done) {
        DWORD rowBytes = ((DWORD)width * 3 + 3) & ~3u;
        DWORD pixelBytes = rowBytes * (DWORD)height;
        BYTE header[54] = {};
        header[0] = 'B';
        header[1] = 'M';
        WriteLE32Bytes(header + 2, 54 + pixelBytes);
        WriteLE32Bytes(header + 10, 54);
        memcpy(header + 14, &info.bmiHeader, 40);
        WriteLE32Bytes(header + 34, pixelBytes);
        HANDLE file = CreateFileW(FilePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0, written2 = 0;
        done = file != INVALID_HANDLE_VALUE && ::WriteFile(file, header, 54, &written, nullptr)
            && ::WriteFile(file, bits, pixelBytes, &written2, nullptr) && written2 == pixelBytes;
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return done;
}

bool UserCanReach(HWND dialog, HWND control, std::string* why)
{
    if (!IsWindowVisible(dialog))
        *why = "the dialog is not visible";
    else if (!IsWindowEnabled(dialog))
        *why = "the dialog is disabled";
    else if (ModalChild(dialog))
        *why = "the dialog has a modal child open";
    else if (!IsWindowVisible(control))
        *why = "the control is hidden";
    else if (!IsWindowEnabled(control))
        *why = "the control is disabled";
    else
        return true;
    return false;
}

LRESULT SendTo(int line, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result))
        FailAt(line, "message 0x%x to window %p got no answer within 5 s", message, (void*)window);
    return (LRESULT)result;
}

} // namespace

// ---- Scenario bookkeeping -------------------------------------------------------

void BeginScenario(const char* name, const char* shotDir)
{
    scenarioName = name;
    shotDirectory = shotDir ? shotDir : "";
    if (!shotDirectory.empty())
        CreateDirectoryW(FilePath(shotDirectory).c_str(), nullptr);
    failures = 0;
    shotCount = 0;
    caseLabel.clear();
}

int EndScenario()
{
    KillSetup();
    printf("%s: %s (%d failure%s)\n", scenarioName.c_str(), failures ? "FAILED" : "passed", failures,
           failures == 1 ? "" : "s");
    fflush(stdout);
    return failures;
}

void OkAt(int line, bool condition, const char* format, ...)
{
    if (condition)
        return;
    failures++;
    va_list args;
    va_start(args, format);
    Report(line, "Test failed", format, args);
    va_end(args);
}

void FailAt(int line, const char* format, ...)
{
    failures++;
    va_list args;
    va_start(args, format);
    Report(line, "Test failed", format, args);
    va_end(args);
    printf("%s: dialogs showing: %s\n", scenarioName.c_str(), DialogList().c_str());
    Shot("failed");
    EndScenario();
    exit(1);
}

void Trace(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    printf("%s: %s\n", scenarioName.c_str(), text);
    fflush(stdout);
}

void SetCase(const char* label)
{
    caseLabel = label ? label : "";
}

// ---- The setup process ----------------------------------------------------------

void StartSetupAt(int line, const char* path, const char* args, int showMode)
{
    if (setupStarted && !UpdateEnded())
        FailAt(line, "setup.exe started while the previous one still runs");
    KillSetup();
    if (templates.empty())
        LoadTemplates(path);
    idCache.clear();

    std::string directory = path;
    size_t slash = directory.find_last_of('\\');
    directory = slash == std::string::npos ? "." : directory.substr(0, slash + 1);
    std::string commandLine = std::string("\"") + path + "\"";
    if (args && *args)
        commandLine += std::string(" ") + args;
    std::vector<char> line8(commandLine.begin(), commandLine.end());
    line8.push_back('\0');

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (showMode >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = (WORD)showMode;
    }
    // Wine under load now and then fails a start with ERROR_INTERNAL_ERROR
    // (1359) before the program runs at all (seen once in a full parallel
    // run); that one start is tried again, any other failure is the run's.
    BOOL started = FALSE;
    DWORD error = 0;
    for (int attempt = 0; attempt < 3 && !started; attempt++) {
        started = CreateProcessA(path, line8.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                                 &setupProcess);
        error = started ? 0 : GetLastError();
        if (!started && error != ERROR_INTERNAL_ERROR)
            break;
        if (!started)
            Sleep(500);
    }
    if (!started)
        FailAt(line, "cannot start %s (error %lu)", path, error);
    setupStarted = true;
    setupEnded = false;
    setupExitCode = 0;
    Trace("started %s", commandLine.c_str());
}

bool SetupRunning()
{
    return setupStarted && !UpdateEnded();
}

DWORD SetupThreadId()
{
    return setupStarted ? setupProcess.dwThreadId : 0;
}

DWORD SetupProcessId()
{
    return setupStarted ? setupProcess.dwProcessId : 0;
}

DWORD NeedExitAt(int line, DWORD timeoutMs, const int* allowed, int allowedCount)
{
    if (!setupStarted)
        FailAt(line, "setup.exe was never started");
    DWORD start = GetTickCount();
    while (!UpdateEnded()) {
        if (allowed) {
            for (int id : ShownDialogs()) {
                if (std::find(allowed, allowed + allowedCount, id) == allowed + allowedCount)
                    FailAt(line, "dialog %d appeared; expected setup.exe to end quietly", id);
            }
        }
        if (GetTickCount() - start > timeoutMs)
            FailAt(line, "setup.exe still runs after %lu ms", timeoutMs);
        Sleep(kPollMs);
    }
    Trace("setup.exe ended with exit code %lu", setupExitCode);
    return setupExitCode;
}

void KillSetup()
{
    if (!setupStarted)
        return;
    if (!UpdateEnded()) {
        TerminateProcess(setupProcess.hProcess, 99);
        WaitForSingleObject(setupProcess.hProcess, 5000);
        Trace("killed setup.exe");
    }
    CloseHandle(setupProcess.hProcess);
    CloseHandle(setupProcess.hThread);
    setupStarted = false;
    setupEnded = false;
}

// ---- The removal program ------------------------------------------------------------

void WatchProgram(const char* programPath)
{
    templates.clear();
    LoadTemplates(programPath);
    idCache.clear();
    std::string name = programPath;
    size_t slash = name.find_last_of('\\');
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    for (char& c : name)
        c = (char)tolower((unsigned char)c);
    watchedImage = name;
    watchedPids.clear();
    watchedAt = 0;
}

int WatchedProcessCount()
{
    watchedAt = 0;
    return (int)WatchedPids().size();
}

void NeedWatchedGoneAt(int line, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (WatchedProcessCount() > 0) {
        if (GetTickCount() - start > timeoutMs)
            FailAt(line, "%s still runs after %lu ms (dialogs: %s)", watchedImage.c_str(), timeoutMs,
                   DialogList().c_str());
        Sleep(kPollMs);
    }
}

void RequestRestartAt(int line)
{
    const char* folder = "C:\\e2e-requests";
    CreateDirectoryA(folder, nullptr);
    std::string request = std::string(folder) + "\\restart";
    WriteBytesAt(line, request, "", 0);
    for (DWORD start = GetTickCount(); FileExists(request.c_str()); Sleep(kPollMs)) {
        if (GetTickCount() - start > 30000)
            FailAt(line, "no restart within 30 s: is run-scenario's watcher running?");
    }
    Trace("restarted (wineboot -r)");
}

void NeedCodePageAt(int line, UINT codePage)
{
    if (GetACP() != codePage)
        FailAt(line, "the run's ANSI code page is %u, expected %u: is its locale generated (scripts/install-deps)?",
               GetACP(), codePage);
}

void ExpectHostNamesAt(int line, const std::vector<std::string>& present, const std::vector<std::string>& absent)
{
    std::string lines;
    for (int kind = 0; kind < 2; kind++) {
        for (const std::string& path : kind == 0 ? present : absent) {
            wchar_t wide[MAX_PATH * 2];
            char utf8[MAX_PATH * 6];
            int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.c_str(), -1, wide, MAX_PATH * 2);
            if (n == 0 || WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr) == 0)
                FailAt(line, "%s is no text in code page %u", path.c_str(), GetACP());
            // In UTF-8 a backslash is only ever a backslash.
            std::string host = utf8;
            std::replace(host.begin(), host.end(), '\\', '/');
            lines += std::string(kind == 0 ? "present " : "absent ") + host + "\n";
        }
    }
    const char* folder = "C:\\e2e-requests";
    CreateDirectoryA(folder, nullptr);
    const std::string request = std::string(folder) + "\\host-names", answer = request + ".wrong";
    DeleteFileA(answer.c_str());
    WriteBytesAt(line, request + ".tmp", lines.data(), lines.size());
    MoveFileA((request + ".tmp").c_str(), request.c_str());
    for (DWORD start = GetTickCount(); FileExists(request.c_str()); Sleep(kPollMs)) {
        if (GetTickCount() - start > 30000)
            FailAt(line, "no answer about the host's names within 30 s: is run-scenario's watcher running?");
    }
    Bytes wrong;
    ReadBytes(answer, &wrong);
    OkAt(line, wrong.empty(), "on the host: %s", std::string(wrong.begin(), wrong.end()).c_str());
    for (const std::string& path : present)
        Trace("host name of %s is there", path.c_str());
}

// ---- Windows of setup.exe ----------------------------------------------------------

int DialogId(HWND dialog)
{
    DWORD help = GetWindowContextHelpId(dialog);
    if (help)
        return (int)help;
    for (const auto& cached : idCache)
        if (cached.first == dialog)
            return cached.second;
    int id = MatchTemplate(dialog);
    if (id)
        idCache.push_back(std::make_pair(dialog, id));
    return id;
}

HWND FindDialog(int templateId)
{
    for (HWND w : SetupWindows())
        if (IsSetupDialog(w) && DialogId(w) == templateId)
            return w;
    return nullptr;
}

std::vector<int> ShownDialogs()
{
    std::vector<int> ids;
    for (HWND w : SetupWindows())
        if (IsSetupDialog(w))
            ids.push_back(DialogId(w));
    return ids;
}

HWND NeedDialogAt(int line, int templateId, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindDialog(templateId);
        if (found)
            return found;
        if (UpdateEnded() && (watchedImage.empty() || WatchedProcessCount() == 0))
            FailAt(line, "setup.exe ended (exit code %lu) while dialog %d was expected", setupExitCode,
                   templateId);
        if (!setupStarted && !watchedImage.empty() && GetTickCount() - start > 2000 && WatchedProcessCount() == 0)
            FailAt(line, "no %s runs while dialog %d was expected", watchedImage.c_str(), templateId);
        if (GetTickCount() - start > timeoutMs)
            FailAt(line, "dialog %d did not appear within %lu ms", templateId, timeoutMs);
        Sleep(kPollMs);
    }
}

void NeedGoneAt(int line, HWND window)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start > 5000)
            FailAt(line, "window %p (dialog %d) is still there after 5 s", (void*)window, DialogId(window));
        Sleep(kPollMs);
    }
}

void ExpectNoDialogAt(int line, int templateId)
{
    OkAt(line, FindDialog(templateId) == nullptr, "dialog %d is showing, expected it not to", templateId);
}

HWND FindSetupWindow(const char* className)
{
    std::wstring wanted = Lower(Wide(className));
    for (HWND w : SetupWindows())
        if (ClassOf(w) == wanted)
            return w;
    return nullptr;
}

HWND ModalChild(HWND owner)
{
    for (HWND w : SetupWindows())
        if (w != owner && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == owner && ClassOf(w) == L"#32770")
            return w;
    return nullptr;
}

HWND Owner(HWND window)
{
    return GetWindow(window, GW_OWNER);
}

// ---- Controls ------------------------------------------------------------------------

HWND ControlAt(int line, HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        FailAt(line, "dialog %d has no control %d", DialogId(dialog), id);
    return control;
}

bool Enabled(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowEnabled(control);
}

bool Visible(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowVisible(control);
}

void ClickAt(int line, HWND dialog, int id)
{
    HWND control = ControlAt(line, dialog, id);
    std::string why;
    if (!UserCanReach(dialog, control, &why))
        FailAt(line, "cannot click control %d of dialog %d: %s", id, DialogId(dialog), why.c_str());
    PostMessageW(control, BM_CLICK, 0, 0);
}

void SetTextAt(int line, HWND dialog, int id, const char* text)
{
    HWND control = ControlAt(line, dialog, id);
    std::string why;
    if (!UserCanReach(dialog, control, &why))
        FailAt(line, "cannot type into control %d of dialog %d: %s", id, DialogId(dialog), why.c_str());
    std::wstring wide = Wide(text);
    SendTo(line, control, WM_SETTEXT, 0, (LPARAM)wide.c_str());
}

void TypeAt(int line, HWND dialog, int id, const char* text)
{
    HWND control = ControlAt(line, dialog, id);
    std::string why;
    if (!UserCanReach(dialog, control, &why))
        FailAt(line, "cannot type into control %d of dialog %d: %s", id, DialogId(dialog), why.c_str());
    std::wstring wide = Wide(text);
    for (wchar_t c : wide)
        SendTo(line, control, WM_CHAR, (WPARAM)c, 1);
}

void PressKeyAt(int line, HWND dialog, UINT vk)
{
    HWND focus = FocusOfSetup();
    if (!focus || (focus != dialog && !IsChild(dialog, focus)))
        FailAt(line, "cannot press a key in dialog %d: the focus is on %p, outside it", DialogId(dialog),
               (void*)focus);
    std::string why;
    if (!UserCanReach(dialog, focus, &why))
        FailAt(line, "cannot press a key in dialog %d: %s", DialogId(dialog), why.c_str());
    UINT scan = MapVirtualKeyW(vk, 0);
    PostMessageW(focus, WM_KEYDOWN, vk, 1 | (LPARAM)scan << 16);
    PostMessageW(focus, WM_KEYUP, vk, 1 | (LPARAM)scan << 16 | (LPARAM)3 << 30);
}

void CloseBoxAt(int line, HWND dialog)
{
    std::string why;
    if (!UserCanReach(dialog, dialog, &why))
        FailAt(line, "cannot close dialog %d: %s", DialogId(dialog), why.c_str());
    if (!(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU))
        FailAt(line, "dialog %d has no close box", DialogId(dialog));
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::string Text(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length))
        return "<no answer>";
    std::vector<wchar_t> buffer(length + 2);
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), (LPARAM)buffer.data(), SMTO_NORMAL, 5000, &got))
        return "<no answer>";
    return Narrow(buffer.data(), std::min<size_t>(got, length));
}

std::string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? Text(control) : "<no control>";
}

std::vector<std::string> ListItems(HWND dialog, int id)
{
    std::vector<std::string> items;
    HWND list = GetDlgItem(dialog, id);
    if (!list)
        return items;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &count);
    for (DWORD_PTR i = 0; i < count && (LONG_PTR)count > 0; i++) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_NORMAL, 5000, &length);
        std::vector<wchar_t> buffer(std::max<size_t>(length + 2, 520));
        DWORD_PTR got = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, i, (LPARAM)buffer.data(), SMTO_NORMAL, 5000, &got);
        if ((LONG_PTR)got < 0)
            got = 0;
        items.push_back(Narrow(buffer.data(), std::min<size_t>(got, buffer.size() - 1)));
    }
    return items;
}

int ListSelection(HWND dialog, int id)
{
    HWND list = GetDlgItem(dialog, id);
    DWORD_PTR selection = (DWORD_PTR)-1;
    if (list)
        SendMessageTimeoutW(list, LB_GETCURSEL, 0, 0, SMTO_NORMAL, 5000, &selection);
    return (int)(LONG_PTR)selection;
}

void SelectListItemAt(int line, HWND dialog, int id, int index)
{
    HWND list = ControlAt(line, dialog, id);
    std::string why;
    if (!UserCanReach(dialog, list, &why))
        FailAt(line, "cannot select in list %d of dialog %d: %s", id, DialogId(dialog), why.c_str());
    SendTo(line, list, LB_SETCURSEL, (WPARAM)index, 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)list);
}

void EditSelection(HWND dialog, int id, DWORD* start, DWORD* end)
{
    DWORD_PTR packed = 0;
    HWND edit = GetDlgItem(dialog, id);
    if (edit)
        SendMessageTimeoutW(edit, EM_GETSEL, 0, 0, SMTO_NORMAL, 5000, &packed);
    *start = LOWORD(packed);
    *end = HIWORD(packed);
}

HWND FocusOfSetup()
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!setupStarted || !GetGUIThreadInfo(setupProcess.dwThreadId, &info))
        return nullptr;
    return info.hwndFocus;
}

void AnswerAt(int line, int n, int button, HWND owner)
{
    HWND box = NeedDialogAt(line, 32000 + n, kWaitMs);
    if (owner)
        OkAt(line, Owner(box) == owner, "message box %d is owned by %p, expected %p", n, (void*)Owner(box),
             (void*)owner);
    Trace("message box %d: pressing %d", n, button);
    ClickAt(line, box, button);
    NeedGoneAt(line, box);
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

void ExpectPlacedAt(int line, HWND window, int mode)
{
    RECT rect = WindowRect(window);
    int areaWidth = GetSystemMetrics(SM_CXFULLSCREEN), areaHeight = GetSystemMetrics(SM_CYFULLSCREEN);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int x = (areaWidth - width) / 2;
    int y = mode == 1 ? (areaHeight - height) / 2 : areaHeight - 160;
    OkAt(line, rect.left == x && rect.top == y,
         "dialog %d at (%ld, %ld) size %dx%d, expected at (%d, %d) for placement mode %d", DialogId(window),
         rect.left, rect.top, width, height, x, y, mode);
}

// ---- Files in the prefix ------------------------------------------------------------------

bool FileExists(const char* path)
{
    DWORD attributes = GetFileAttributesW(FilePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const char* path)
{
    DWORD attributes = GetFileAttributesW(FilePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EndsInBackslash(const std::string& path)
{
    const char* last = path.empty() ? nullptr : CharPrevA(path.c_str(), path.c_str() + path.size());
    return last != nullptr && last == path.c_str() + path.size() - 1 && *last == '\\';
}

void MakeDirsAt(int line, const std::string& path)
{
    // A character at a time: in a double-byte code page a second byte may
    // be a backslash's.
    for (size_t i = 3; i <= path.size(); i += i < path.size() && IsDBCSLeadByte((BYTE)path[i]) ? 2 : 1) {
        if (i < path.size() && path[i] != '\\')
            continue;
        std::string part = path.substr(0, i);
        if (!CreateDirectoryW(FilePath(part).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            FailAt(line, "cannot create directory %s (error %lu)", part.c_str(), GetLastError());
    }
    if (!DirExists(path.c_str()))
        FailAt(line, "directory %s is not there after creating it", path.c_str());
}

void WriteBytesAt(int line, const std::string& path, const void* data, size_t bytes)
{
    HANDLE file = CreateFileW(FilePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        FailAt(line, "cannot create %s (error %lu)", path.c_str(), GetLastError());
    DWORD written = 0;
    BOOL done = bytes == 0 || ::WriteFile(file, data, (DWORD)bytes, &written, nullptr);
    CloseHandle(file);
    if (!done || written != bytes)
        FailAt(line, "cannot write %s", path.c_str());
}

void RemoveFileAt(int line, const std::string& path)
{
    if (!DeleteFileW(FilePath(path).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        FailAt(line, "cannot delete %s (error %lu)", path.c_str(), GetLastError());
}

// ---- Screenshots ----------------------------------------------------------------------------

void Shot(const char* name)
{
    if (shotDirectory.empty())
        return;
    Settle();
    ShotNow(name);
}

void ShotNow(const char* name)
{
    if (shotDirectory.empty())
        return;
    char file[400];
    snprintf(file, sizeof file, "%s\\%s-%02d-%s.bmp", shotDirectory.c_str(), scenarioName.c_str(), ++shotCount,
             name);
    if (!SaveScreen(file))
        printf("%s: cannot save screenshot %s\n", scenarioName.c_str(), file);
}

// ---- More files, drives and pixels -------------------------------------------------------

bool ReadBytes(const std::string& path, Bytes* out)
{
    out->clear();
    HANDLE file = CreateFileW(FilePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0, size = GetFileSize(file, &high);
    bool done = high == 0 && size != INVALID_FILE_SIZE;
    if (done && size > 0) {
        out->resize(size);
        DWORD got = 0;
        done = ::ReadFile(file, out->data(), size, &got, nullptr) && got == size;
    }
    CloseHandle(file);
    return done;
}

void CopyIntoAt(int line, const std::string& from, const std::string& to)
{
    if (!CopyFileW(FilePath(from).c_str(), FilePath(to).c_str(), FALSE))
        FailAt(line, "cannot copy %s to %s (error %lu)", from.c_str(), to.c_str(), GetLastError());
}

void SetReadOnlyAt(int line, const std::string& path)
{
    if (!SetFileAttributesW(FilePath(path).c_str(), FILE_ATTRIBUTE_READONLY))
        FailAt(line, "cannot make %s read-only (error %lu)", path.c_str(), GetLastError());
}

namespace {

void CollectFiles(const std::string& dir, const std::string& relative, std::vector<std::string>* out)
{
    WIN32_FIND_DATAW found;
    HANDLE listing = FindFirstFileW(FilePath(dir + "\\*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = Narrow(found.cFileName, wcslen(found.cFileName));
        if (name == "." || name == "..")
            continue;
        std::string path = relative.empty() ? name : relative + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectFiles(dir + "\\" + name, path, out);
        else
            out->push_back(path);
    } while (FindNextFileW(listing, &found));
    FindClose(listing);
}

} // namespace

bool QueryValue(HKEY root, const char* key, const char* name, DWORD* type, std::string* data)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG error = RegQueryValueExA(opened, name, nullptr, type, nullptr, &size);
    if (error == ERROR_SUCCESS) {
        data->assign(size + 2, '\0');
        error = RegQueryValueExA(opened, name, nullptr, type, (BYTE*)&(*data)[0], &size);
        data->resize(size);
    }
    RegCloseKey(opened);
    return error == ERROR_SUCCESS;
}

std::vector<std::string> FilesUnder(const std::string& dir)
{
    std::vector<std::string> files;
    CollectFiles(dir, "", &files);
    std::sort(files.begin(), files.end());
    return files;
}

namespace {

std::string EntryText(HKEY key, const char* name)
{
    char text[1024] = "";
    DWORD bytes = sizeof text - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)text, &bytes) != ERROR_SUCCESS || type != REG_SZ)
        return "";
    text[bytes] = '\0';
    return text;
}

}  // namespace

std::vector<UninstallEntry> TovarinEntries()
{
    std::vector<UninstallEntry> entries;
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0, KEY_READ,
                      &uninstall) != ERROR_SUCCESS)
        return entries;
    char name[MAX_PATH];
    DWORD length = sizeof name;
    for (DWORD i = 0; RegEnumKeyExA(uninstall, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name) {
        HKEY key;
        if (_strnicmp(name, "Tovarin", 7) != 0 || RegOpenKeyExA(uninstall, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        entries.push_back({name, EntryText(key, "DisplayName"), EntryText(key, "InstallLocation"),
                           EntryText(key, "QuietUninstallString")});
        RegCloseKey(key);
    }
    RegCloseKey(uninstall);
    return entries;
}

std::vector<UninstallEntry> EntriesFor(const std::string& dest)
{
    std::vector<UninstallEntry> found;
    for (const UninstallEntry& e : TovarinEntries())
        if (lstrcmpiA(e.location.c_str(), dest.c_str()) == 0)
            found.push_back(e);
    return found;
}

const std::vector<std::string> kSetupOwnFiles = {"tvremove.exe", "tvremove.log"};

bool IsSetupOwnFile(const std::string& relative)
{
    for (const std::string& own : kSetupOwnFiles)
        if (_stricmp(own.c_str(), relative.c_str()) == 0)
            return true;
    return false;
}

long long FreeKB(const std::string& path)
{
    ULARGE_INTEGER free = {}, total = {}, totalFree = {};
    if (!GetDiskFreeSpaceExW(FilePath(path).c_str(), &free, &total, &totalFree))
        return -1;
    return (long long)((free.QuadPart + 512) >> 10);
}

void ChangeDiskAt(int line, const std::string& dir)
{
    const char* folder = "C:\\e2e-requests";
    CreateDirectoryA(folder, nullptr);
    std::string request = std::string(folder) + "\\disk";
    std::string staged = request + ".new";
    WriteBytesAt(line, staged, dir.data(), dir.size());
    if (!MoveFileA(staged.c_str(), request.c_str()))
        FailAt(line, "cannot hand the disk request to the watcher (error %lu)", GetLastError());
    for (DWORD start = GetTickCount(); FileExists(request.c_str()); Sleep(kPollMs)) {
        if (GetTickCount() - start > 5000)
            FailAt(line, "drive A: was not pointed at %s within 5 s: is run-scenario's watcher running?",
                   dir.c_str());
    }
    Trace("drive A: now holds %s", dir.c_str());
}

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// Closes the folder windows that Wine's Program Manager opens for
// "CreateGroup" and "ShowGroup" (another explorer.exe shows them, and the
// run cannot end while they stay).  Waits up to 5 s for the first, then
// until none has been open for 700 ms.  Returns how many there were.
int CloseFolderWindows(const char* group)
{
    std::vector<HWND> closed;
    DWORD start = GetTickCount(), lastSeen = start;
    while (GetTickCount() - start < 8000) {
        WindowList list;
        EnumWindows(CollectWindow, (LPARAM)&list);
        for (HWND w : list.windows) {
            char title[256] = "", name[64] = "";
            GetWindowTextA(w, title, sizeof title);
            if (!IsWindowVisible(w) || !strstr(title, group))
                continue;
            lastSeen = GetTickCount();
            if (std::find(closed.begin(), closed.end(), w) != closed.end())
                continue;
            closed.push_back(w);
            GetClassNameA(w, name, sizeof name);
            Trace("closing the folder window \"%s\" (class %s)", title, name);
            PostMessageA(w, WM_CLOSE, 0, 0);
        }
        DWORD quiet = GetTickCount() - lastSeen;
        if ((closed.empty() && quiet > 5000) || (!closed.empty() && quiet > 700))
            break;
        Sleep(50);
    }
    return (int)closed.size();
}

void NeedRunStoppedAt(int line, const char* says, const char* shot)
{
    HWND box = NeedDialogAt(line, IDD_MESSAGE_BASE + MSG_RUN_STOPPED, kWaitMs);
    HWND backdrop = FindSetupWindow("ORV_DSKINSTALL");
    OkAt(line, backdrop != nullptr && Owner(box) == backdrop, "box 11 is owned by %p, not by the backdrop %p",
         (void*)Owner(box), (void*)backdrop);
    std::string text = ControlText(box, IDC_MESSAGE_TEXT);
    OkAt(line, text.find(says) != std::string::npos, "box 11 says \"%s\", expected \"%s\" in it", text.c_str(),
         says);
    if (shot)
        Shot(shot);
    Trace("box 11: \"%s\"; pressing 1", text.c_str());
    ClickAt(line, box, IDC_ANSWER_1);
    static const int boxOnly[] = {IDD_MESSAGE_BASE + MSG_RUN_STOPPED};
    DWORD code = NeedExitAt(line, kExitWaitMs, boxOnly, 1);
    OkAt(line, code == 0, "exit code %lu after box 11, expected 0", code);
}

void CancelSetupAt(int line, HWND page)
{
    ClickAt(line, page, IDCANCEL);
    AnswerAt(line, MSG_CONFIRM_CANCEL, 1, page);
    NeedGoneAt(line, page);
    static const int none[1] = {0};
    DWORD code = NeedExitAt(line, kExitWaitMs, none, 0);
    OkAt(line, code == 0, "exit code %lu after a confirmed cancel, expected 0", code);
}

// ---- The run's language and the templates -------------------------------------------------

LANGID RunLanguage()
{
    if (runLanguage == 0)
        runLanguage = ProgramLanguage(GetUserDefaultLangID());
    return runLanguage;
}

LANGID ProgramLanguage(LANGID user)
{
    switch (PRIMARYLANGID(user)) {
    case LANG_GERMAN: return kGerman;
    case LANG_FRENCH: return kFrench;
    default:          return kEnglishUS;
    }
}

const DialogTemplate* TemplateOf(int templateId)
{
    for (const DialogTemplate& t : templates)
        if (t.id == templateId)
            return &t;
    return nullptr;
}

const std::string& TemplatesPath()
{
    return templatesPath;
}

const char* ScenarioName()
{
    return scenarioName.c_str();
}
