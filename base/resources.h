// Resources in the user's language: the language is chosen once at
// start-up, and every string, template and picture is looked up in it
// explicitly, since Windows 95 and NT would each pick by a locale of their
// own.  Both programs, setup.exe and tvremove.exe, use it.
#ifndef TOVARIN_BASE_RESOURCES_H
#define TOVARIN_BASE_RESOURCES_H

#include <windows.h>

// The language resources are taken in: one of base/language.h's.
extern LANGID resourceLanguage;

// Chooses resourceLanguage from the user's default language: the module's
// resources in its primary language when it has a string table in it, else
// US English.  A new language is a new set of resources.
void ChooseResourceLanguage(HMODULE module);

// The bytes of resource id of the given type in resourceLanguage; where
// that language has none, in US English, then language-neutral.  Null when
// there is none; *size is its size in bytes.
const void* LockLanguageResource(HMODULE module, LPCSTR type, int id, DWORD* size);

// String id as ANSI text into out: its length; 0 and out empty when the
// string is missing, empty, or does not fit capacity bytes with its
// terminator (never cut).  Each string's capacity is named beside its id
// (IDS_X_BYTES), and the language check holds every translation to it.
int LoadLanguageString(HMODULE module, int id, char* out, int capacity);

#endif
