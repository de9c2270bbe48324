// The plain logic of the language check (fit.h) and of a run's name: no
// windows.h, so that it builds for the host too, where it is unit-tested.
#ifndef TOVARIN_E2E_CHECKTEXT_H
#define TOVARIN_E2E_CHECKTEXT_H

#include <stddef.h>

#include <string>
#include <vector>

// One text of a program in one language, keyed by where it lives: "c<id>"
// dialog id's caption, "d<id>.<n>" its n-th control, "s<id>" a string.
struct KeyedText {
    std::string key;
    std::wstring text;
};

// What may not show in a run of another language: whole texts, and parts
// that may not show inside a text either.
struct ForeignTexts {
    std::vector<std::wstring> whole;
    std::vector<std::wstring> parts;
};

// Parts shorter than this are words that may well be alike in two
// languages inside other texts ("Tovarin", "Setup").
const size_t kForeignPartLength = 12;

// The fixed parts of a wsprintf format, between its conversions: n
// conversions give n + 1 parts, some of them empty.  "%%" is a percent sign.
std::vector<std::wstring> FormatParts(const std::wstring& format);

// The English texts that may not show in a run of the other language, own:
// each English text whose counterpart under its key differs or is missing,
// and that is no text of own anywhere.  A string with a conversion counts
// by its fixed parts alone; every text or part of kForeignPartLength
// characters or more may not show inside a text either, unless it lies
// inside a text of own.
ForeignTexts ForeignTextsOf(const std::vector<KeyedText>& english, const std::vector<KeyedText>& own);

// The foreign text that shown is, or holds; false when none.
bool FindForeignText(const ForeignTexts& foreign, const std::wstring& shown, std::wstring* found);

// A run's language and DPI from a scenario name that ends in -LANG-DPI
// (fit-setup-de-120: "de", 120); false unless LANG is en, de or fr and DPI
// 96 or 120.
bool ParseRunName(const std::string& name, std::string* language, int* dpi);

#endif
