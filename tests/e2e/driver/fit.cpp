// The fit and language checks: see fit.h.
#include "tests/e2e/driver/fit.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "tests/e2e/driver/checktext.h"
#include "tests/e2e/driver/driver.h"

namespace {

std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> out;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        out.push_back(child);
    return out;
}

int ControlId(HWND control)
{
    return (int)(short)(GetDlgCtrlID(control) & 0xFFFF);
}

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

ShownFault Fault(int dialog, int control, const char* format, ...) __attribute__((format(printf, 3, 4)));

ShownFault Fault(int dialog, int control, const char* format, ...)
{
    char text[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return ShownFault{dialog, control, text, SIZE(), SIZE()};
}

// ---- Fit -----------------------------------------------------------------------------

// How a control draws its text, and in how much room; false for what is
// not measured.
struct Measure {
    UINT flags;        // DrawText flags besides DT_CALCRECT
    RECT room;         // where the text must fit, from (0, 0)
};

bool HowDrawn(HWND control, HDC dc, Measure* m)
{
    std::wstring kind = ClassOf(control);
    DWORD style = (DWORD)GetWindowLongW(control, GWL_STYLE);
    RECT client;
    GetClientRect(control, &client);
    m->room = client;
    if (kind == L"static") {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
            m->flags = DT_WORDBREAK | DT_EXPANDTABS;
            break;
        case SS_SIMPLE:
            m->flags = DT_SINGLELINE;
            break;
        case SS_LEFTNOWORDWRAP:
            m->flags = DT_EXPANDTABS;
            break;
        default:           // icons, pictures, frames, rectangles
            return false;
        }
        if (style & SS_NOPREFIX)
            m->flags |= DT_NOPREFIX;
        return true;
    }
    if (kind != L"button" || (style & (BS_ICON | BS_BITMAP)))
        return false;
    m->flags = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        // The label keeps 2 pixels from the button's frame on every side.
        InflateRect(&m->room, -2, -2);
        return true;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        // The box (12 pixels at 96 dpi, and its edge) and a gap of half a
        // digit's width come before the text, which starts a pixel further
        // in, leaving room for the focus rectangle.
        int box = MulDiv(12, GetDeviceCaps(dc, LOGPIXELSX), 96) + 1;
        INT digit = 0;
        GetCharWidth32A(dc, '0', '0', &digit);
        m->room.right -= box + digit / 2 + 1;
        return true;
    }
    case BS_GROUPBOX:
        // The title keeps 7 pixels off either edge, and starts a pixel
        // further in.
        m->flags = DT_SINGLELINE;
        m->room.right -= 15;
        return true;
    default:
        return false;
    }
}

HFONT MakeFont(const TemplateFont& font, int extraPoints, int dpi)
{
    return CreateFontW(-MulDiv(font.points + extraPoints, dpi, 72), 0, 0, 0, font.weight, font.italic, FALSE,
                       FALSE, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, FF_DONTCARE, font.face.c_str());
}

// The dialog base units of the font selected into dc, as the dialog
// manager takes them: the mean width of the 52 letters, rounded, and the
// height.
SIZE BaseUnits(HDC dc)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size = {};
    GetTextExtentPoint32A(dc, letters, 52, &size);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SIZE units = {(size.cx / 26 + 1) / 2, metrics.tmHeight};
    return units;
}

// A control's top-left corner in the dialog's client area.
POINT Origin(HWND dialog, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    POINT at = {rect.left, rect.top};
    ScreenToClient(dialog, &at);
    return at;
}

// The font is the dialog's when the template's controls, placed in dialog
// units of it, land where the dialog manager put them.  The program may
// move some (a box fitted to its text), so one is enough; none means
// another font.
void CheckFont(HWND dialog, const DialogTemplate& t, HDC dc, std::vector<ShownFault>* faults)
{
    std::vector<HWND> live = Children(dialog);
    SIZE units = BaseUnits(dc);
    size_t matched = 0, compared = 0;
    std::string example;
    for (size_t i = 0; i < live.size() && i < t.controls.size(); i++) {
        const TemplateControl& c = t.controls[i];
        POINT at = Origin(dialog, live[i]);
        POINT expected = {MulDiv(c.x, units.cx, 4), MulDiv(c.y, units.cy, 8)};
        compared++;
        if (at.x == expected.x && at.y == expected.y) {
            matched++;
        } else if (example.empty()) {
            char text[160];
            snprintf(text, sizeof text, "control %d at (%ld, %ld), expected (%ld, %ld)", (int)(short)c.id, at.x, at.y,
                     expected.x, expected.y);
            example = text;
        }
    }
    if (compared > 0 && matched == 0)
        faults->push_back(Fault(t.id, kTheDialog,
                                "the measuring font (%s, %d pt at %d dpi: base units %ld x %ld) is not the "
                                "dialog's: no control is where it would place it (%s)",
                                ToAnsi(t.font.face).c_str(), t.font.points, GetDeviceCaps(dc, LOGPIXELSY),
                                units.cx, units.cy, example.c_str()));
}

// ---- Language ----------------------------------------------------------------------------

// What may not show in a run of one language of one program.
struct EnglishSet {
    std::string path;
    LANGID language;
    ForeignTexts english;
};

std::vector<EnglishSet> englishSets;

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR context)
{
    if (IS_INTRESOURCE(name))
        ((std::vector<int>*)context)->push_back((int)(ULONG_PTR)name);
    return TRUE;
}

bool Resource(HMODULE module, LPCSTR type, int id, LANGID language, const BYTE** bytes, size_t* size)
{
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    *bytes = loaded ? (const BYTE*)LockResource(loaded) : nullptr;
    *size = *bytes ? SizeofResource(module, found) : 0;
    return *bytes != nullptr;
}

std::vector<KeyedText> ReadTexts(HMODULE module, LANGID language)
{
    std::vector<KeyedText> out;
    std::vector<int> dialogs, blocks;
    EnumResourceNamesA(module, RT_DIALOG, CollectName, (LONG_PTR)&dialogs);
    EnumResourceNamesA(module, RT_STRING, CollectName, (LONG_PTR)&blocks);
    std::sort(dialogs.begin(), dialogs.end());
    dialogs.erase(std::unique(dialogs.begin(), dialogs.end()), dialogs.end());
    std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    const BYTE* bytes;
    size_t size;
    for (int id : dialogs) {
        DialogTemplate t = DialogTemplate();
        if (!Resource(module, RT_DIALOG, id, language, &bytes, &size) || !ParseDialogTemplate(bytes, size, &t))
            continue;
        out.push_back(KeyedText{"c" + std::to_string(id), t.caption});
        for (size_t i = 0; i < t.controls.size(); i++)
            if (t.controls[i].hasText)
                out.push_back(KeyedText{"d" + std::to_string(id) + "." + std::to_string(i), t.controls[i].text});
    }
    // A string block holds 16 counted strings: block b holds ids (b-1)*16 ...
    for (int block : blocks) {
        if (!Resource(module, RT_STRING, block, language, &bytes, &size))
            continue;
        size_t at = 0;
        for (int i = 0; i < 16 && at + 2 <= size; i++) {
            size_t n = (size_t)(bytes[at] | bytes[at + 1] << 8);
            at += 2;
            if (at + 2 * n > size)
                break;
            std::wstring text;
            for (size_t k = 0; k < n; k++)
                text.push_back((wchar_t)(bytes[at + 2 * k] | bytes[at + 2 * k + 1] << 8));
            at += 2 * n;
            if (!text.empty())
                out.push_back(KeyedText{"s" + std::to_string((block - 1) * 16 + i), text});
        }
    }
    return out;
}

}  // namespace

std::string ProgramString(int id, LANGID language)
{
    HMODULE module = LoadLibraryExA(TemplatesPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::string text;
    if (module) {
        for (const KeyedText& t : ReadTexts(module, language))
            if (t.key == "s" + std::to_string(id))
                text = ToAnsi(t.text);
        FreeLibrary(module);
    }
    return text;
}

std::string InRunLanguage(int id, const char* english)
{
    return RunLanguage() == kEnglishUS ? english : ProgramString(id, RunLanguage());
}

namespace {

const EnglishSet& EnglishSetFor(const std::string& path, LANGID language)
{
    for (const EnglishSet& s : englishSets)
        if (s.path == path && s.language == language)
            return s;
    EnglishSet set;
    set.path = path;
    set.language = language;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        printf("driver: cannot read the texts of %s (error %lu)\n", path.c_str(), GetLastError());
    } else if (language != kEnglishUS) {
        set.english = ForeignTextsOf(ReadTexts(module, kEnglishUS), ReadTexts(module, language));
        printf("driver: %s: %u English texts and %u parts may not show in language 0x%04x\n", path.c_str(),
               (unsigned)set.english.whole.size(), (unsigned)set.english.parts.size(), language);
    }
    if (module)
        FreeLibrary(module);
    englishSets.push_back(set);
    return englishSets.back();
}

void CheckText(const EnglishSet& set, int dialog, int control, const std::wstring& shown, LANGID language,
               std::vector<ShownFault>* faults)
{
    std::wstring found;
    if (!FindForeignText(set.english, shown, &found))
        return;
    bool whole = found == shown;
    faults->push_back(Fault(dialog, control, "shows the English text \"%s\"%s%s%s in a run of language 0x%04x",
                            ToAnsi(found).c_str(), whole ? "" : " inside \"", whole ? "" : ToAnsi(shown).c_str(),
                            whole ? "" : "\"", language));
}

// The caption, in the caption font, between the icon (where the window
// has a system menu and an icon) and the caption buttons, 2 pixels in.
void CheckCaption(HWND dialog, int id, std::vector<ShownFault>* faults)
{
    DWORD style = (DWORD)GetWindowLongW(dialog, GWL_STYLE), exStyle = (DWORD)GetWindowLongW(dialog, GWL_EXSTYLE);
    std::string caption = ToAnsi(KeptText(dialog));
    if ((style & WS_CAPTION) != WS_CAPTION || caption.empty())
        return;
    RECT client;
    GetClientRect(dialog, &client);
    long room = client.right - 2;
    if (style & WS_SYSMENU) {
        DWORD_PTR small = 0, big = 0;
        SendMessageTimeoutW(dialog, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG, 500, &small);
        SendMessageTimeoutW(dialog, WM_GETICON, ICON_BIG, 0, SMTO_ABORTIFHUNG, 500, &big);
        if (small || big || !(exStyle & WS_EX_DLGMODALFRAME))
            room -= GetSystemMetrics(SM_CXSMICON) + 2;
        room -= GetSystemMetrics(SM_CYCAPTION) - 1;
        if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
            room -= 2 * (GetSystemMetrics(SM_CXSIZE) + 1);
    }
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        faults->push_back(Fault(id, kTheDialog, "the caption font cannot be known"));
        return;
    }
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    HGDIOBJ old = SelectObject(dc, font);
    RECT needed = {0, 0, 0, 0};
    DrawTextA(dc, caption.c_str(), -1, &needed, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    if (needed.right <= room)
        return;
    faults->push_back(Fault(id, kTheDialog, "the caption \"%s\" needs %ld pixels, has %ld (%s)", caption.c_str(),
                            needed.right, room, ToAnsi(metrics.lfCaptionFont.lfFaceName).c_str()));
    faults->back().needed = SIZE{needed.right, needed.bottom};
    faults->back().room = SIZE{room, needed.bottom};
}

} // namespace

std::vector<ShownFault> FitFaults(HWND dialog, int extraPoints)
{
    std::vector<ShownFault> faults;
    int id = DialogId(dialog);
    const DialogTemplate* t = TemplateOf(id);
    if (!t) {
        faults.push_back(Fault(id, kTheDialog, "matches no template of %s", TemplatesPath().c_str()));
        return faults;
    }
    if (!(t->style & DS_SETFONT) || t->font.points <= 0) {
        faults.push_back(Fault(id, kTheDialog, "its template names no font"));
        return faults;
    }
    HDC dc = GetDC(nullptr);
    HFONT font = MakeFont(t->font, extraPoints, GetDeviceCaps(dc, LOGPIXELSY));
    HGDIOBJ old = SelectObject(dc, font);
    CheckFont(dialog, *t, dc, &faults);
    std::vector<HWND> children = Children(dialog);
    for (size_t i = 0; i < children.size(); i++) {
        HWND control = children[i];
        Measure m;
        std::string text = ToAnsi(KeptText(control));
        if (!IsWindowVisible(control) || !HowDrawn(control, dc, &m))
            continue;
        // A text the program put in place of its template's, and found
        // empty, shows nothing at all.
        const TemplateControl* own = i < t->controls.size() ? &t->controls[i] : nullptr;
        if (text.empty() && own && own->id == (unsigned)(GetDlgCtrlID(control) & 0xFFFF) && own->hasText && !own->text.empty())
            faults.push_back(Fault(id, ControlId(control), "shows no text (its template has \"%s\")",
                                   ToAnsi(own->text).c_str()));
        if (text.empty())
            continue;
        RECT needed = {0, 0, m.room.right - m.room.left, 0};
        DrawTextA(dc, text.c_str(), -1, &needed, m.flags | DT_CALCRECT);
        long roomWidth = m.room.right - m.room.left, roomHeight = m.room.bottom - m.room.top;
        if (needed.right <= roomWidth && needed.bottom <= roomHeight)
            continue;
        faults.push_back(Fault(id, ControlId(control),
                               "\"%s\" needs %ld x %ld pixels, has %ld x %ld (%s, %d pt at %d dpi%s)", text.c_str(),
                               needed.right, needed.bottom, roomWidth, roomHeight, ToAnsi(t->font.face).c_str(),
                               t->font.points + extraPoints,
                               GetDeviceCaps(dc, LOGPIXELSY), (m.flags & DT_WORDBREAK) ? ", wrapped" : ""));
        faults.back().needed = SIZE{needed.right, needed.bottom};
        faults.back().room = SIZE{roomWidth, roomHeight};
    }
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    CheckCaption(dialog, id, &faults);
    return faults;
}

std::vector<ShownFault> LanguageFaults(HWND dialog, LANGID language)
{
    std::vector<ShownFault> faults;
    int id = DialogId(dialog);
    if (language == kEnglishUS)
        return faults;
    const EnglishSet& set = EnglishSetFor(TemplatesPath(), language);
    CheckText(set, id, kTheDialog, KeptText(dialog), language, &faults);
    for (HWND control : Children(dialog)) {
        if (!IsWindowVisible(control))
            continue;
        std::wstring kind = ClassOf(control);
        if (kind == L"edit")       // what the user typed
            continue;
        if (kind == L"listbox") {
            for (const std::string& item : ListItems(dialog, GetDlgCtrlID(control)))
                CheckText(set, id, ControlId(control), FromAnsi(item), language, &faults);
            continue;
        }
        CheckText(set, id, ControlId(control), KeptText(control), language, &faults);
    }
    return faults;
}

std::string FaultPlace(const ShownFault& fault)
{
    std::string place = "dialog " + std::to_string(fault.dialog);
    return fault.control == kTheDialog ? place : place + ", control " + std::to_string(fault.control);
}

void ExpectShownRightAt(int line, const char* what)
{
    std::vector<int> shown = ShownDialogs();
    OkAt(line, !shown.empty(), "%s: no dialog is showing", what);
    for (int id : shown) {
        HWND dialog = FindDialog(id);
        if (!dialog)
            continue;
        std::vector<ShownFault> faults = FitFaults(dialog, 0), language = LanguageFaults(dialog, RunLanguage());
        faults.insert(faults.end(), language.begin(), language.end());
        for (const ShownFault& f : faults)
            OkAt(line, false, "%s: %s: %s", what, FaultPlace(f).c_str(), f.text.c_str());
        Trace("%s: dialog %d checked: %u faults", what, id, (unsigned)faults.size());
    }
}

RunConditions NeedRunConditionsAt(int line)
{
    RunConditions wanted = {0, 0};
    std::string lang;
    if (!ParseRunName(ScenarioName(), &lang, &wanted.dpi))
        FailAt(line, "the scenario name %s ends in no -LANG-DPI (en, de, fr, ja; 96, 120)", ScenarioName());
    // A Japanese system: code page 932, and the programs' US English.
    if (lang == "ja")
        NeedCodePageAt(line, 932);
    wanted.language = lang.compare(0, 2, "de") == 0 ? kGerman : lang.compare(0, 2, "fr") == 0 ? kFrench : kEnglishUS;

    LANGID user = GetUserDefaultLangID();
    if (ProgramLanguage(user) != wanted.language || RunLanguage() != wanted.language)
        FailAt(line, "the driver's user language is 0x%04x, not one that gives 0x%04x: is LC_ALL set?", user,
               wanted.language);
    if (ScreenDpi() != wanted.dpi)
        FailAt(line, "the screen has %d dpi, expected %d: is LogPixels set?", ScreenDpi(), wanted.dpi);

    // A program started the way setup.exe is started must see the same.
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n == 0 || n >= sizeof self)
        FailAt(line, "the driver cannot name its own file");
    std::string commandLine = std::string("\"") + self + "\" --probe";
    std::vector<char> text(commandLine.begin(), commandLine.end());
    text.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(self, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        FailAt(line, "cannot start the probe (error %lu)", GetLastError());
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.hProcess, &code))
        code = 0;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    LANGID childLanguage = (LANGID)(code & 0xFFFF);
    int childDpi = (int)(code >> 16);
    if (ProgramLanguage(childLanguage) != wanted.language || childDpi != wanted.dpi)
        FailAt(line, "a program the driver starts sees language 0x%04x at %d dpi, expected 0x%04x at %d",
               childLanguage, childDpi, wanted.language, wanted.dpi);
    Trace("language 0x%04x (the user's 0x%04x, a started program's 0x%04x) at %d dpi", wanted.language, user,
          childLanguage, wanted.dpi);
    return wanted;
}

int ProbeMain()
{
    return (int)GetUserDefaultLangID() | ScreenDpi() << 16;
}
