// Checks of what a dialog of the watched program shows, made from outside
// its process: that every text fits its control, and that every text is in
// the run's language.
//
// The fit check measures each visible control's text with DrawTextA
// (DT_CALCRECT) in the dialog's font: a font handle from WM_GETFONT belongs
// to the other process, so the font is made here again from the template's
// face and point size at the screen's DPI, as the dialog manager makes it.
// Statics that wrap, and buttons with BS_MULTILINE, are measured with
// DT_WORDBREAK at their width; the others on one line.  A text fits when it
// needs no more than the control's client area: less the frame of a push
// button, the box and its gap of a check box or radio button, the indent of
// a group box's title.  Edit controls, list boxes, combo boxes, icons,
// pictures and the programs' own control classes are not measured.  The
// check also proves its font: the template's controls placed in dialog
// units of that font must land where the dialog manager put them.  A
// caption must fit, in the caption font, between the caption's icon and
// its buttons.  A control measured so whose template has a text may not
// show none: an empty text the program put there wiped its template's.
//
// The language check reads the programs' texts as data, in US English and
// in the expected language (FindResourceExA: dialog templates and the
// string table).  A text of the English set whose counterpart in the
// expected language differs may not show: not as a caption, a control's
// text or a list box's line, nor inside one (a format's fixed parts too).
#ifndef TOVARIN_E2E_FIT_H
#define TOVARIN_E2E_FIT_H

#include <windows.h>

#include <string>
#include <vector>

// One fault found: the dialog's template id, the control's id (as
// GetDlgCtrlID gives it, signed: IDC_STATIC is -1) or kTheDialog for the
// dialog itself (its caption, its font), and what is wrong, ready to report.
const int kTheDialog = 0x10000;
struct ShownFault {
    int dialog;
    int control;
    std::string text;
    SIZE needed;   // a text that does not fit: the pixels it needs,
    SIZE room;     // and those it has
};
// "dialog 3, control 11" or "dialog 3".
std::string FaultPlace(const ShownFault& fault);

// The texts of dialog that do not fit.  extraPoints measures in a font that
// many points larger than the template's (0 for the real check; the proofs
// use it to show that the check can fail).
std::vector<ShownFault> FitFaults(HWND dialog, int extraPoints);
// The texts of dialog that belong to the English set where language has
// texts of its own.  Nothing for US English.
std::vector<ShownFault> LanguageFaults(HWND dialog, LANGID language);

// String id of the program whose templates the driver reads, in language,
// as ANSI text; "" when it has none.
std::string ProgramString(int id, LANGID language);
// That program's string id as the run's language has it: in English the
// text itself, so that the English set is held to it.
std::string InRunLanguage(int id, const char* english);

// Both checks, in the run's language, on every visible dialog of the
// watched program; each fault is a failure at the caller's line.  what
// names the moment in the reports.
#define ExpectShownRight(what) ExpectShownRightAt(__LINE__, (what))
void ExpectShownRightAt(int line, const char* what);

// The conditions a scenario named NAME-LANG-DPI runs under (fit-setup-de-120:
// German at 120 dpi), which run-scenario has set up.  Fails the scenario
// when the name has none, or when the driver or a program it starts sees
// another language or DPI.
struct RunConditions {
    LANGID language;   // as the programs choose it: kEnglishUS, kGerman, kFrench
    int dpi;
};
#define NeedRunConditions() NeedRunConditionsAt(__LINE__)
RunConditions NeedRunConditionsAt(int line);

// driver.exe --probe: the exit code of a process the driver starts, as it
// starts setup.exe: its GetUserDefaultLangID in the low 16 bits, its
// screen's LOGPIXELSY above.
int ProbeMain();

#endif
