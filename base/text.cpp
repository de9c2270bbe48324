// Bounded text helpers.
#include "base/text.h"

size_t TextLength(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

namespace {

uint32_t codePage = 1252;
LeadByteTest leadByte;

}  // namespace

void SetTextCodePage(uint32_t number, LeadByteTest isLead)
{
    codePage = number;
    leadByte = isLead;
}

uint32_t TextCodePage()
{
    return codePage;
}

int IsLeadByte(unsigned char byte)
{
    return byte >= 0x81 && leadByte != nullptr && leadByte(byte);
}

size_t CharacterLength(const char* text)
{
    unsigned char byte = static_cast<unsigned char>(text[0]);
    if (byte == 0)
        return 0;
    // A second byte is never below 0x40: a lead byte before a tab, a CR or
    // the terminator stands alone, and the byte after it stays itself.
    return byte >= 0x81 && leadByte != nullptr && leadByte(byte) && static_cast<unsigned char>(text[1]) >= 0x40 ? 2
                                                                                                            : 1;
}

int LastCharacterIndex(const char* text)
{
    int last = -1;
    for (int i = 0; text[i] != '\0'; i += static_cast<int>(CharacterLength(text + i)))
        last = i;
    return last;
}

size_t CopyText(char* out, size_t capacity, const char* text)
{
    if (capacity == 0)
        return 0;
    size_t length = TextLength(text);
    if (length >= capacity) {
        out[0] = '\0';
        return 0;
    }
    for (size_t i = 0; i <= length; ++i)
        out[i] = text[i];
    return length;
}

size_t AppendText(char* out, size_t capacity, const char* text)
{
    size_t start = TextLength(out);
    size_t length = TextLength(text);
    if (start + length >= capacity)
        return 0;
    for (size_t i = 0; i <= length; ++i)
        out[start + i] = text[i];
    return start + length;
}

size_t JoinPath(const char* dir, const char* name, char* out, size_t capacity)
{
    if (capacity == 0)
        return 0;
    out[0] = '\0';
    size_t length = TextLength(dir);
    if (length == 0 || CopyText(out, capacity, dir) == 0)
        return 0;
    int last = LastCharacterIndex(dir);
    if (dir[last] != '\\' && AppendText(out, capacity, "\\") == 0) {
        out[0] = '\0';
        return 0;
    }
    size_t joined = AppendText(out, capacity, name);
    if (joined == 0 && name[0] != '\0') {
        out[0] = '\0';
        return 0;
    }
    return TextLength(out);
}

size_t ComposeText(char* out, size_t capacity, const char* a, const char* b, const char* c,
                   const char* d, const char* e)
{
    if (capacity == 0)
        return 0;
    out[0] = '\0';
    const char* parts[] = {a, b, c, d, e};
    for (const char* part : parts) {
        if (part[0] != '\0' && AppendText(out, capacity, part) == 0) {
            out[0] = '\0';
            return 0;
        }
    }
    return TextLength(out);
}

int LastCharacter(const char* text, char c)
{
    int last = -1;
    for (int i = 0; text[i] != '\0'; i += static_cast<int>(CharacterLength(text + i))) {
        if (text[i] == c && CharacterLength(text + i) == 1)
            last = i;
    }
    return last;
}

int LastBackslash(const char* text)
{
    return LastCharacter(text, '\\');
}

namespace {

// The lower case of a single-byte character: code page 1252's letters,
// or in a double-byte code page the ASCII letters alone.
unsigned char FoldCase(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 0x20);
    if (leadByte != nullptr)
        return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: return 0x9A;   // S with caron
    case 0x8C: return 0x9C;   // OE
    case 0x8E: return 0x9E;   // Z with caron
    case 0x9F: return 0xFF;   // Y with diaeresis
    default:   return c;
    }
}

}  // namespace

int SameTextIgnoringCase(const char* a, const char* b)
{
    for (;;) {
        size_t length = CharacterLength(a);
        if (length != CharacterLength(b))
            return 0;
        if (length == 0)
            return 1;
        if (length == 2) {
            // A double-byte character is the same only byte for byte.
            if (a[0] != b[0] || a[1] != b[1])
                return 0;
        } else if (FoldCase(static_cast<unsigned char>(*a)) != FoldCase(static_cast<unsigned char>(*b))) {
            return 0;
        }
        a += length;
        b += length;
    }
}

void LowerText(char* text)
{
    for (size_t length; (length = CharacterLength(text)) != 0; text += length) {
        if (length == 1)
            *text = static_cast<char>(FoldCase(static_cast<unsigned char>(*text)));
    }
}

size_t FormatGrouped(uint32_t value, char separator, char* out, size_t capacity)
{
    // Written backwards into a buffer for the longest: 10 digits, 3 marks.
    char reversed[16];
    size_t length = 0;
    int digits = 0;
    do {
        if (digits == 3 && separator != 0) {
            reversed[length++] = separator;
            digits = 0;
        }
        reversed[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
        ++digits;
    } while (value != 0);
    if (capacity == 0)
        return 0;
    if (length >= capacity) {
        out[0] = '\0';
        return 0;
    }
    for (size_t i = 0; i < length; ++i)
        out[i] = reversed[length - 1 - i];
    out[length] = '\0';
    return length;
}
