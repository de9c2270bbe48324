// The end-to-end test driver: runs the real setup.exe in the same Wine
// prefix and drives it from outside, as a user at the screen would.
//
// One scenario runs per driver process.  Checks come in two kinds, after
// Wine's ok(): ok() records a failure with the scenario's source line and
// goes on; the Need... helpers end the scenario at once when what they wait
// for does not come (screenshot "failed", setup.exe killed, exit code 1).
// The macros pass the caller's line, so a report names the scenario line.
//
// Dialogs are told apart by their template id.  Every template carries its
// id as its context help id, but Wine 8 answers GetWindowContextHelpId only
// inside the owning process; from here the driver reads setup.exe's dialog
// templates as data and matches a window against them by caption, control
// ids and classes and the texts of its buttons and labels.
#ifndef TOVARIN_E2E_DRIVER_H
#define TOVARIN_E2E_DRIVER_H

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

enum {
    kWaitMs       = 20000,   // longest wait for a dialog (the search walks C:)
    kExitWaitMs   = 20000,   // longest wait for setup.exe to end
    kPollMs       = 20,
};

// ---- Scenario bookkeeping -------------------------------------------------

// The name given to BeginScenario.
const char* ScenarioName();

// Starts a scenario: name for reports and screenshot files, the directory
// for screenshots (may be empty: no screenshots).
void BeginScenario(const char* name, const char* shotDir);
// Ends it: kills setup.exe if it still runs.  Returns the number of failures.
int EndScenario();

void OkAt(int line, bool condition, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
[[noreturn]] void FailAt(int line, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

#define ok(cond, ...) OkAt(__LINE__, (cond), __VA_ARGS__)
#define fail(...) FailAt(__LINE__, __VA_ARGS__)

// A label added to every report until it is replaced (like SCOPED_TRACE):
// table scenarios name their current case with it.
void SetCase(const char* label);

// ---- The setup process ----------------------------------------------------

// Starts A:\setup.exe (or path) with the given argument tail, current
// directory the program's own.  Remembers the process.
#define StartSetup(args) StartSetupAt(__LINE__, "A:\\setup.exe", (args), -1)
// The same with a show mode in the start-up information (STARTF_USESHOWWINDOW),
// as a shortcut set to "run minimized" gives it.
#define StartSetupShown(args, show) StartSetupAt(__LINE__, "A:\\setup.exe", (args), (show))
void StartSetupAt(int line, const char* path, const char* args, int showMode);
bool SetupRunning();
DWORD SetupThreadId();
DWORD SetupProcessId();
// Waits for the exit and returns the exit code; fails on timeout.
#define NeedExit() NeedExitAt(__LINE__, kExitWaitMs, nullptr, 0)
// The same, failing as soon as any dialog other than the allowed ones shows.
#define NeedExitShowing(allowed, n) NeedExitAt(__LINE__, kExitWaitMs, (allowed), (n))
DWORD NeedExitAt(int line, DWORD timeoutMs, const int* allowedDialogs, int allowedCount);
void KillSetup();

// ---- The removal program ----------------------------------------------------

// From here on the dialogs looked for are the removal program's: its
// templates are read from programPath, and its windows are those of every
// process of that program's file name (the work is done by its copy in the
// temporary directory, which Add/Remove Programs never sees).  The process
// started with StartSetupAt, if any, counts too.
void WatchProgram(const char* programPath);
// The processes of the watched program's file name that run now.
int WatchedProcessCount();
// Waits until none of them runs; fails when one still does after timeoutMs.
#define NeedWatchedGone(ms) NeedWatchedGoneAt(__LINE__, (ms))
void NeedWatchedGoneAt(int line, DWORD timeoutMs);

// Restarts Windows as far as files go: asks run-scenario's watcher to run
// "wineboot -r" (WININIT.INI's [rename] section and the renames that
// MOVEFILE_DELAY_UNTIL_REBOOT arranged) and waits until it has.
#define RequestRestart() RequestRestartAt(__LINE__)
void RequestRestartAt(int line);
// The run's ANSI code page is codePage (run-scenario's LC_ALL, from a
// locale that scripts/install-deps generates), else the scenario fails.
#define NeedCodePage(codePage) NeedCodePageAt(__LINE__, (codePage))
void NeedCodePageAt(int line, UINT codePage);
// Asks run-scenario's watcher whether the host's own names (UTF-8, what
// Wine makes of the ANSI paths in the run's code page) of the paths
// present are there and of those absent are not: where files really
// landed.
#define ExpectHostNames(present, absent) ExpectHostNamesAt(__LINE__, (present), (absent))
void ExpectHostNamesAt(int line, const std::vector<std::string>& present, const std::vector<std::string>& absent);

// ---- Texts of windows ---------------------------------------------------------

// The text the window manager keeps for a window (InternalGetWindowText):
// no message is sent, so it answers while the program is busy.
std::wstring KeptText(HWND window);
// The window's class name, lower case.
std::wstring ClassOf(HWND window);
// Between the wide form and the ANSI code page (1252 here).
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);

// ---- Dialog templates and the run's language --------------------------------

// The languages the programs carry their texts in.
const LANGID kEnglishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);   // 0x0409
const LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);           // 0x0407
const LANGID kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);           // 0x040C

// The language a program chooses for a user language: German and French
// by their primary language, US English for every other.
LANGID ProgramLanguage(LANGID user);
// The language of this run: the one the programs choose for the user
// language the driver itself sees (GetUserDefaultLangID).  The templates
// are read in it (in US English where the program has none in it).
LANGID RunLanguage();

struct TemplateControl {
    unsigned id;              // low 16 bits, as GetDlgCtrlID reports them
    std::wstring className;   // lower case
    bool hasText;             // a string title, not an ordinal
    std::wstring text;
    DWORD style;
    int x, y, cx, cy;         // dialog units
};

// The font of a DS_SETFONT template.  weight, italic and charset are those
// of DLGTEMPLATEEX; a plain template leaves them 0.
struct TemplateFont {
    int points;
    int weight;
    bool italic;
    int charset;
    std::wstring face;
};

struct DialogTemplate {
    int id;
    DWORD style;
    std::wstring caption;
    TemplateFont font;
    std::vector<TemplateControl> controls;   // in template order, as the children are made
};

// Parses DLGTEMPLATE and DLGTEMPLATEEX; false on a malformed one.
bool ParseDialogTemplate(const BYTE* bytes, size_t size, DialogTemplate* out);
// The template of the watched program (setup.exe, or the program named to
// WatchProgram) with this id, as the driver read it; null when none.
const DialogTemplate* TemplateOf(int templateId);
// The file the templates were read from.
const std::string& TemplatesPath();

// ---- Windows of setup.exe -------------------------------------------------

// Template id of a top-level dialog of setup.exe; 0 when none matches.
int DialogId(HWND dialog);
// A visible top-level dialog of setup.exe with template id, or null.
HWND FindDialog(int templateId);
// Waits for one; fails when it does not come.
#define NeedDialog(id) NeedDialogAt(__LINE__, (id), kWaitMs)
HWND NeedDialogAt(int line, int templateId, DWORD timeoutMs);
// Waits until the window is gone or hidden; fails when it stays.
#define NeedGone(hwnd) NeedGoneAt(__LINE__, (hwnd))
void NeedGoneAt(int line, HWND window);
// Fails the check when a dialog with this id is showing now.
#define ExpectNoDialog(id) ExpectNoDialogAt(__LINE__, (id))
void ExpectNoDialogAt(int line, int templateId);
// Template ids of every visible dialog of setup.exe, in z-order.
std::vector<int> ShownDialogs();
// The top-level window of setup.exe of a window class, or null.
HWND FindSetupWindow(const char* className);
// The visible top-level window of setup.exe owned by owner (a modal child).
HWND ModalChild(HWND owner);
HWND Owner(HWND window);

// ---- Controls --------------------------------------------------------------

#define Control(dialog, id) ControlAt(__LINE__, (dialog), (id))
HWND ControlAt(int line, HWND dialog, int id);
bool Enabled(HWND dialog, int id);
bool Visible(HWND dialog, int id);
// Posts BM_CLICK, but only to what a user could click: a visible, enabled
// control of a visible, enabled dialog without a modal child.
#define Click(dialog, id) ClickAt(__LINE__, (dialog), (id))
void ClickAt(int line, HWND dialog, int id);
// WM_SETTEXT (one EN_CHANGE), as a paste would replace the text.
#define SetText(dialog, id, text) SetTextAt(__LINE__, (dialog), (id), (text))
void SetTextAt(int line, HWND dialog, int id, const char* text);
// Types text key by key (WM_CHAR), so the edit control's limit applies;
// '\b' is a backspace.
#define Type(dialog, id, text) TypeAt(__LINE__, (dialog), (id), (text))
void TypeAt(int line, HWND dialog, int id, const char* text);
// Presses and releases a key in the window that has setup.exe's focus, which
// must belong to dialog (as IsDialogMessage sees it: Esc, Enter, Tab).
#define PressKey(dialog, vk) PressKeyAt(__LINE__, (dialog), (vk))
void PressKeyAt(int line, HWND dialog, UINT vk);
// The close box of the dialog's caption (WM_SYSCOMMAND SC_CLOSE).
#define CloseBox(dialog) CloseBoxAt(__LINE__, (dialog))
void CloseBoxAt(int line, HWND dialog);
std::string Text(HWND window);
std::string ControlText(HWND dialog, int id);
std::vector<std::string> ListItems(HWND dialog, int id);
int ListSelection(HWND dialog, int id);
// LB_SETCURSEL and the LBN_SELCHANGE that a mouse click would send.
#define SelectListItem(dialog, id, index) SelectListItemAt(__LINE__, (dialog), (id), (index))
void SelectListItemAt(int line, HWND dialog, int id, int index);
// EM_GETSEL of an edit control: start and end of the selection.
void EditSelection(HWND dialog, int id, DWORD* start, DWORD* end);
HWND FocusOfSetup();

// Waits for message box n (template 32000 + n), checks its owner when owner
// is not null, presses button k and waits until the box has gone.
#define Answer(n, k, owner) AnswerAt(__LINE__, (n), (k), (owner))
void AnswerAt(int line, int n, int button, HWND owner);

// Cancel on a page of the main path, confirmed with message box 2: the
// program ends with 0 and shows nothing more.
#define CancelSetup(page) CancelSetupAt(__LINE__, (page))
void CancelSetupAt(int line, HWND page);

// Box 11, which ends a run that cannot go on: it is owned by the backdrop
// and its text holds says; Exit Setup ends the program with 0, and nothing
// shows after it.  Takes a screenshot named shot (none when null).
#define NeedRunStopped(says, shot) NeedRunStoppedAt(__LINE__, (says), (shot))
void NeedRunStoppedAt(int line, const char* says, const char* shot);

// The window's rectangle in screen coordinates.
RECT WindowRect(HWND window);
// Checks the placement rule of dialogs: mode 1 centred on the full-screen
// area, mode 2 centred horizontally with its top 160 pixels above the
// bottom of that area.
#define ExpectPlaced(hwnd, mode) ExpectPlacedAt(__LINE__, (hwnd), (mode))
void ExpectPlacedAt(int line, HWND window, int mode);

// ---- Files in the prefix ---------------------------------------------------

// Whether the last character of path (in the run's code page: a second
// byte may be 0x5C) is a backslash.
bool EndsInBackslash(const std::string& path);
bool FileExists(const char* path);
bool DirExists(const char* path);
// Creates every missing directory of path (wide calls: no 260 limit).
#define MakeDirs(path) MakeDirsAt(__LINE__, (path))
void MakeDirsAt(int line, const std::string& path);
#define WriteBytes(path, data, n) WriteBytesAt(__LINE__, (path), (data), (n))
void WriteBytesAt(int line, const std::string& path, const void* data, size_t bytes);
#define RemoveFile(path) RemoveFileAt(__LINE__, (path))
void RemoveFileAt(int line, const std::string& path);
// The whole file; false when it cannot be read.
bool ReadBytes(const std::string& path, Bytes* out);
#define CopyInto(from, to) CopyIntoAt(__LINE__, (from), (to))
void CopyIntoAt(int line, const std::string& from, const std::string& to);
#define SetReadOnly(path) SetReadOnlyAt(__LINE__, (path))
void SetReadOnlyAt(int line, const std::string& path);
// The value's data as RegQueryValueExA gives it: type and exact bytes.
bool QueryValue(HKEY root, const char* key, const char* name, DWORD* type, std::string* data);
// Every file under dir, as paths relative to it, sorted.
std::vector<std::string> FilesUnder(const std::string& dir);
// The files Setup adds to every destination beside the catalogue's: the
// removal record (and the removal program).  Relative names, lower case.
extern const std::vector<std::string> kSetupOwnFiles;
bool IsSetupOwnFile(const std::string& relative);
// ---- Add/Remove Programs ----------------------------------------------------

// Tovarin's entries: the keys of Add/Remove Programs (HKLM's
// Software\Microsoft\Windows\CurrentVersion\Uninstall) whose names begin
// with "Tovarin", in the registry's order, each with its text values
// (absent ones empty).
struct UninstallEntry {
    std::string key;
    std::string displayName;
    std::string location;        // InstallLocation
    std::string quietCommand;    // QuietUninstallString
};
std::vector<UninstallEntry> TovarinEntries();
// The entries whose InstallLocation is dest, letter case ignored.
std::vector<UninstallEntry> EntriesFor(const std::string& dest);

// Free space of the drive of path in KB, rounded to nearest; -1 on failure.
long long FreeKB(const std::string& path);

// Puts another disk into drive A:: asks run-scenario's watcher to point A:
// at dir (a directory on C:), or at a floppy image on C: (a path ending in
// ".img") mounted read-only, and waits until it has.  A Windows program
// cannot re-point a drive itself.
#define ChangeDisk(dir) ChangeDiskAt(__LINE__, (dir))
void ChangeDiskAt(int line, const std::string& dir);

// The colour of a screen pixel, as RGB(r, g, b).
COLORREF ScreenPixel(int x, int y);

// Closes the folder windows that Wine's Program Manager opens for a group
// (explorer.exe shows them; the run cannot end while they stay).  Returns
// how many there were.
int CloseFolderWindows(const char* group);

// ---- Screenshots -----------------------------------------------------------

// Saves the whole screen as <shotDir>\<scenario>-<nn>-<name>.bmp after
// setup.exe has had a moment to paint.  Does nothing without a directory.
void Shot(const char* name);
// The same at once, for the please-wait page: setup.exe handles no messages
// while it reads the catalogue and searches, so waiting for it to paint
// would wait until the page has gone.
void ShotNow(const char* name);

#endif
