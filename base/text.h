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
// the system's volumes compare: letters of code page 1252 fold to lower
// case (A-Z, and the accented capitals from 0xC0 up, with the multiply
// sign 0xD7 left alone; Š Œ Ž Ÿ fold too).
int SameTextIgnoringCase(const char* a, const char* b);

// value in decimal digits, every three from the right parted by separator
// (none when separator is 0) into out: the length, or 0 when it does not
// fit (out empty).
size_t FormatGrouped(uint32_t value, char separator, char* out, size_t capacity);

// Index of the last c in text, or -1; LastBackslash of the last '\\'.
int LastCharacter(const char* text, char c);
int LastBackslash(const char* text);

#endif
