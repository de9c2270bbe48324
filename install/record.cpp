// The removal record (see record.h).
#include "install/record.h"

#include "base/text.h"

const char kRecordSignature[] = "Tovarin removal record 1";

namespace {

struct KindWord {
    RecordKind kind;
    const char* word;
    int fields;              // after the word, the flag counted
    const char* flagWords[2];  // flag 0 and flag 1, or null when the kind has none
};

const KindWord kKinds[] = {
    {kRecordDirectory, "DIR", 1, {nullptr, nullptr}},
    {kRecordFile, "FILE", 2, {"new", "over"}},
    {kRecordTemporary, "TEMP", 1, {nullptr, nullptr}},
    {kRecordGroup, "GROUP", 2, {"old", "new"}},
    {kRecordItem, "ITEM", 2, {nullptr, nullptr}},
    {kRecordKey, "KEY", 2, {nullptr, nullptr}},
    {kRecordValue, "VALUE", 4, {nullptr, nullptr}},
    {kRecordTemplate, "TEMPLATE", 2, {nullptr, nullptr}},
    {kRecordPlaced, "PLACED", 2, {nullptr, nullptr}},
    {kRecordCodePage, "CODEPAGE", 1, {nullptr, nullptr}},
    {kRecordBegin, "BEGIN", 0, {nullptr, nullptr}},
    {kRecordCommit, "COMMIT", 0, {nullptr, nullptr}},
    {kRecordCommitted, "COMMITTED", 0, {nullptr, nullptr}},
};

const KindWord* FindKind(RecordKind kind)
{
    for (const KindWord& k : kKinds) {
        if (k.kind == kind)
            return &k;
    }
    return nullptr;
}

int SameText(const char* a, const char* b)
{
    for (; *a == *b; ++a, ++b) {
        if (*a == '\0')
            return 1;
    }
    return 0;
}

int IsRoot(const char* text)
{
    return SameText(text, "HKCR") || SameText(text, "HKCU") || SameText(text, "HKLM");
}

// A registry path: not empty, no empty component, no leading backslash.
int IsKeyPath(const char* text)
{
    if (text[0] == '\0' || text[0] == '\\')
        return 0;
    for (size_t i = 0; text[i] != '\0'; i += CharacterLength(text + i)) {
        if (text[i] == '\\' && (text[i + 1] == '\\' || text[i + 1] == '\0'))
            return 0;
    }
    return 1;
}

int HasHighByte(const char* text)
{
    for (; *text != '\0'; ++text) {
        if (static_cast<unsigned char>(*text) >= 0x80)
            return 1;
    }
    return 0;
}

int HasLineBreakOrTab(const char* text)
{
    for (; *text != '\0'; ++text) {
        if (*text == '\t' || *text == '\r' || *text == '\n')
            return 1;
    }
    return 0;
}

// Whether the fields of a line make sense for its kind.
int FieldsValid(RecordKind kind, const char* const* field)
{
    switch (kind) {
    case kRecordDirectory:
    case kRecordFile:
    case kRecordTemporary:
        return IsPlainAbsolutePath(field[0]);
    case kRecordTemplate:
        return IsPlainAbsolutePath(field[0]) && field[1][0] != '\0';
    case kRecordPlaced:
        // The reader holds the fingerprint to its form too (ParseLine);
        // Setup writes only what FormatFingerprint made.
        return IsPlainAbsolutePath(field[0]) && field[1][0] != '\0';
    case kRecordGroup:
        return field[0][0] != '\0';
    case kRecordItem:
        return field[0][0] != '\0' && field[1][0] != '\0';
    case kRecordKey:
    case kRecordValue:
        return IsRoot(field[0]) && IsKeyPath(field[1]);
    case kRecordCodePage:
        return RecordCodePage(field[0]) != 0;
    case kRecordBegin:
    case kRecordCommit:
    case kRecordCommitted:
        return 1;
    }
    return 0;
}

// Parses one line (without its CR LF) in place.
int ParseLine(char* text, RecordLine* line)
{
    char* part[1 + 1 + kRecordFields];
    int count = 0;
    part[count++] = text;
    for (char* p = text; *p != '\0'; ++p) {
        if (*p != '\t')
            continue;
        if (count == static_cast<int>(sizeof part / sizeof part[0]))
            return 0;
        *p = '\0';
        part[count++] = p + 1;
    }
    const KindWord* kind = nullptr;
    for (const KindWord& k : kKinds) {
        if (SameText(part[0], k.word))
            kind = &k;
    }
    if (kind == nullptr || count != 1 + kind->fields)
        return 0;
    line->kind = kind->kind;
    line->flag = 0;
    int first = 1;
    int fields = kind->fields;
    if (kind->flagWords[0] != nullptr) {
        // The flag is the last field.
        const char* flag = part[count - 1];
        if (SameText(flag, kind->flagWords[1]))
            line->flag = 1;
        else if (!SameText(flag, kind->flagWords[0]))
            return 0;
        --fields;
    }
    for (int i = 0; i < kRecordFields; ++i)
        line->field[i] = i < fields ? part[first + i] : "";
    return FieldsValid(line->kind, line->field) && (line->kind != kRecordPlaced || IsFingerprint(line->field[1]));
}

int IsNameCharacter(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x20 && c != '"' && c != '*' && c != '?' && c != '<' && c != '>' && c != '|' &&
           c != '/' && c != ':';
}

}  // namespace

int IsPlainAbsolutePath(const char* path)
{
    size_t i;
    if (((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' &&
        path[2] == '\\') {
        i = 3;
    } else if (path[0] == '\\' && path[1] == '\\') {
        i = 2;
    } else {
        return 0;
    }
    if (TextLength(path) >= kPathBytes)
        return 0;
    // Every component: not empty (a drive root alone is allowed), not "."
    // or "..", only characters a name may hold.
    if (path[i] == '\0')
        return i == 3;
    size_t start = i;
    for (;; i += CharacterLength(path + i)) {
        if (path[i] == '\\' || path[i] == '\0') {
            size_t length = i - start;
            if (length == 0)
                return 0;
            if (path[start] == '.' && (length == 1 || (length == 2 && path[start + 1] == '.')))
                return 0;
            if (path[i] == '\0')
                return 1;
            start = i + 1;
        } else if (CharacterLength(path + i) == 1 && !IsNameCharacter(path[i])) {
            // The second byte of a character may be any byte from 0x40 up,
            // "|" too: only whole characters are judged.
            return 0;
        }
    }
}

int IsInsideDirectory(const char* path, const char* dir)
{
    // dir without its trailing backslash, a character at a time.
    size_t length = TextLength(dir);
    int last = LastCharacterIndex(dir);
    if (last >= 0 && dir[last] == '\\')
        length = static_cast<size_t>(last);
    // path's first length bytes must end on a character of its own.
    size_t boundary = 0;
    while (boundary < length && path[boundary] != '\0')
        boundary += CharacterLength(path + boundary);
    if (length == 0 || boundary != length || TextLength(path) <= length + 1 || path[length] != '\\')
        return 0;
    char head[kPathBytes];
    if (length >= sizeof head)
        return 0;
    for (size_t i = 0; i < length; ++i)
        head[i] = path[i];
    head[length] = '\0';
    char base[kPathBytes];
    for (size_t i = 0; i < length; ++i)
        base[i] = dir[i];
    base[length] = '\0';
    return SameTextIgnoringCase(head, base);
}

size_t FormatRecordSignature(char* out, size_t capacity)
{
    return ComposeText(out, capacity, kRecordSignature, "\r\n");
}

int HasRecordSignature(const char* text, size_t size)
{
    size_t i = 0;
    for (; kRecordSignature[i] != '\0'; ++i) {
        if (i >= size || text[i] != kRecordSignature[i])
            return 0;
    }
    return i + 2 <= size && text[i] == '\r' && text[i + 1] == '\n';
}

size_t FormatRecordLine(const RecordLine* line, char* out, size_t capacity)
{
    if (capacity == 0)
        return 0;
    out[0] = '\0';
    // The reader takes lines of at most kRecordLineBytes, CR LF included.
    if (capacity > kRecordLineBytes + 1)
        capacity = kRecordLineBytes + 1;
    const KindWord* kind = FindKind(line->kind);
    if (kind == nullptr)
        return 0;
    int fields = kind->flagWords[0] != nullptr ? kind->fields - 1 : kind->fields;
    const char* field[kRecordFields];
    for (int i = 0; i < kRecordFields; ++i) {
        field[i] = i < fields && line->field[i] != nullptr ? line->field[i] : "";
        if (HasLineBreakOrTab(field[i]))
            return 0;
    }
    if (!FieldsValid(line->kind, field))
        return 0;
    if (AppendText(out, capacity, kind->word) == 0)
        return 0;
    for (int i = 0; i < fields; ++i) {
        if (AppendText(out, capacity, "\t") == 0 ||
            (field[i][0] != '\0' && AppendText(out, capacity, field[i]) == 0)) {
            out[0] = '\0';
            return 0;
        }
    }
    if (kind->flagWords[0] != nullptr &&
        (AppendText(out, capacity, "\t") == 0 ||
         AppendText(out, capacity, kind->flagWords[line->flag ? 1 : 0]) == 0)) {
        out[0] = '\0';
        return 0;
    }
    size_t length = AppendText(out, capacity, "\r\n");
    if (length == 0)
        out[0] = '\0';
    return length;
}

uint32_t ReadRecord(const char* text, size_t size, void (*visit)(const RecordLine* line, void* context),
                    void* context, uint32_t* badLine)
{
    *badLine = 0;
    uint32_t visited = 0;
    uint32_t number = 0;
    uint32_t written = 0;   // the code page of the last CODEPAGE line, 0 before one
    size_t pos = 0;
    while (pos < size) {
        ++number;
        size_t end = pos;
        while (end < size && text[end] != '\n' && end - pos < kRecordLineBytes)
            ++end;
        // A last line without its line end is what a kill or a power cut
        // leaves of a line being written: the record ends before it.  The
        // signature line is no such line: without it there is no record.
        if (end >= size && end - pos < kRecordLineBytes && number > 1)
            return visited;
        // A line must end with CR LF within its length; a NUL never belongs.
        if (end >= size || text[end] != '\n' || end == pos || text[end - 1] != '\r') {
            *badLine = number;
            return visited;
        }
        char buffer[kRecordLineBytes];
        size_t length = end - 1 - pos;
        for (size_t i = 0; i < length; ++i)
            buffer[i] = text[pos + i];
        buffer[length] = '\0';
        // A NUL or a CR inside the line is no text the writer writes.
        if (TextLength(buffer) != length || LastCharacter(buffer, '\r') >= 0) {
            *badLine = number;
            return visited;
        }
        pos = end + 1;
        if (number == 1) {
            if (!SameText(buffer, kRecordSignature)) {
                *badLine = number;
                return visited;
            }
            continue;
        }
        RecordLine line;
        if ((written != 0 && written != TextCodePage() && HasHighByte(buffer)) || !ParseLine(buffer, &line)) {
            *badLine = number;
            return visited;
        }
        if (line.kind == kRecordCodePage)
            written = RecordCodePage(line.field[0]);
        visit(&line, context);
        ++visited;
    }
    if (number == 0)
        *badLine = 1;   // no signature at all
    return visited;
}

uint32_t RecordCodePage(const char* field)
{
    uint32_t number = 0;
    int digits = 0;
    for (; *field >= '0' && *field <= '9' && digits < 6; ++field, ++digits)
        number = number * 10 + static_cast<uint32_t>(*field - '0');
    return *field == '\0' && digits != 0 && field[-digits] != '0' && number <= 0xFFFF ? number : 0;
}

void FileFingerprint(const uint8_t* bytes, uint32_t size, char* out)
{
    FormatFingerprint(UpdateCrc32(0xFFFFFFFFu, bytes, size), size, out);
}
