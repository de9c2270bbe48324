// The languages Tovarin Setup speaks, and the string tables of its
// resources.  Includes nothing of ours.
#ifndef TOVARIN_BASE_LANGUAGE_H
#define TOVARIN_BASE_LANGUAGE_H

#include <stdint.h>

// Resource languages as Windows numbers them: a primary language in the
// low 10 bits and a sublanguage above.
const uint16_t kEnglishLanguage = 0x0409;   // US English
const uint16_t kGermanLanguage = 0x0407;
const uint16_t kFrenchLanguage = 0x040C;

// The resource language to look for first for the user's default language:
// its primary language with the default sublanguage, so that every German
// (Germany, Switzerland, Austria ...) finds the German set and every French
// the French one.  A program without resources in it takes English.
uint16_t ResourceLanguageFor(uint16_t userLanguage);

// A string table block (resource type 6, name id / 16 + 1) holds 16
// strings in turn, each a 16-bit count and that many UTF-16 units.  Finds
// string index (0 to 15) in a block of size bytes: 1 with *text at its
// first unit and *units its count when the block holds it whole; 0 when
// the block ends first.  An empty string is found with 0 units.
int FindBlockString(const uint8_t* block, uint32_t size, unsigned index, const uint8_t** text, uint32_t* units);

#endif
