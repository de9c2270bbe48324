// Bounded text: every helper that writes takes the capacity of its buffer,
// and a text that does not fit is refused (length 0), never cut: a path cut
// short names another file.  The base of every folder; includes nothing of
// ours.  Portable: no windows.h.
#ifndef TOVARIN_BASE_TEXT_H
#define TOVARIN_BASE_TEXT_H

#include <stddef.h>
#include <stdint.h>

enum {
    kPathBytes = 260,   // every path buffer: 259 characters + NUL
    kTextBytes = 1024,  // wsprintfA's limit: every format and box text, and what is made of it
};

// Length of a NUL-terminated text.
size_t TextLength(const char* text);

// ---- Characters --------------------------------------------------------
// Text is ANSI in the system's code page.  In the double-byte code pages
// (932, 936, 949, 950) a lead byte and the byte after it are one
// character, and that second byte may be any value from 0x40 up: also
// "\", "|", "[", "]" or a letter.  So every scan of a text steps a
// character at a time, and compares only whole characters.  The bytes
// below 0x40 that paths are made of (".", ":", "/", "\"" and the rest)
// never occur inside a character, and a lead byte is never below 0x81.

// Whether a byte leads a character of two bytes in the code page.
typedef int (*LeadByteTest)(unsigned char byte);

// The code page every helper here reads text in: its number and its
// lead-byte test (null: none, as in 1252).  The programs set the system's
// at start-up; until then, and on the host, it is 1252.
void SetTextCodePage(uint32_t number, LeadByteTest isLead);
uint32_t TextCodePage();
int IsLeadByte(unsigned char byte);

// The bytes of the character at text: 2 for a lead byte with a second
// byte, else 1 (a lead byte before a byte below 0x40, the terminator
// included, stands alone); 0 at the terminator.
size_t CharacterLength(const char* text);

// The index of the last character of text, or -1 when it is empty.
int LastCharacterIndex(const char* text);

// Copies text into out (capacity bytes with the terminator).  Returns the
// length copied, or 0 with out empty when the text does not fit.  Texts
// never come back cut: a path cut short names another file.
size_t CopyText(char* out, size_t capacity, const char* text);

// Appends text to the NUL-terminated out.  Returns the new length, or 0
// with out unchanged when the result would not fit.
size_t AppendText(char* out, size_t capacity, const char* text);

// dir, a backslash unless dir ends with one, then name.  Returns the length,
// or 0 with out empty when dir is empty or the result does not fit.
size_t JoinPath(const char* dir, const char* name, char* out, size_t capacity);

// Joins up to five texts into out.  Returns the length, or 0 with out empty
// when they do not fit.
size_t ComposeText(char* out, size_t capacity, const char* a, const char* b = "",
                   const char* c = "", const char* d = "", const char* e = "");

// 1 when a and b are the same text but for letter case, as file names on
// the system's volumes compare, character by character: in code page 1252
// its letters fold to lower case (A-Z, and the accented capitals from 0xC0
// up, with the multiply sign 0xD7 left alone; Š Œ Ž Ÿ fold too); in a
// double-byte code page only the single-byte letters A-Z fold, never a
// byte of a double-byte character nor 932's half-width katakana.
int SameTextIgnoringCase(const char* a, const char* b);

// Lowers text in place as SameTextIgnoringCase folds it, a character at
// a time: a double-byte character is never touched.
void LowerText(char* text);

// value in decimal digits, every three from the right parted by separator
// (none when separator is 0) into out: the length, or 0 when it does not
// fit (out empty).
size_t FormatGrouped(uint32_t value, char separator, char* out, size_t capacity);

// Index of the last character c (a single byte below 0x80) in text, or
// -1; LastBackslash of the last backslash.
int LastCharacter(const char* text, char c);
int LastBackslash(const char* text);

#endif
