// What a catalogue entry may name (see names.h).
#include "catalogue/names.h"

#include "catalogue/catfile.h"
#include "base/text.h"

namespace {

int IsBadNameCharacter(unsigned char c)
{
    return c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*';
}

// The problem of one part of a path, from begin up to (not including) end.
// Windows drops the blanks and dots at the end of a name, so a part made
// of nothing else is "", "." or ".." to it.
TargetProblem CheckPart(const char* begin, const char* end)
{
    if (begin == end)
        return kTargetEmptyPart;
    int dots = 0;
    for (const char* p = begin; p != end; ++p) {
        if (*p == '.')
            ++dots;
        else if (*p != ' ')
            return kTargetOk;
    }
    if (dots >= 2)
        return kTargetParent;
    return dots == 1 ? kTargetDot : kTargetEmptyPart;
}

size_t Length(const char* text)
{
    size_t n = 0;
    while (text[n] != '\0')
        ++n;
    return n;
}

TargetProblem Found(TargetProblem problem, size_t index, size_t* at)
{
    if (at != nullptr)
        *at = index;
    return problem;
}

}  // namespace

TargetProblem CheckTargetPath(const char* target, size_t* at)
{
    size_t length = Length(target);
    if (length == 0)
        return Found(kTargetEmpty, 0, at);
    if (length >= kCatalogueNameBytes)
        return Found(kTargetTooLong, 0, at);
    if (target[0] == '\\' || target[0] == '/')
        return Found(kTargetRooted, 0, at);
    for (size_t i = 0; i < length; ++i) {
        if (target[i] == ':')
            return Found(kTargetDrive, i, at);
    }
    for (size_t i = 0; i < length; ++i) {
        if (target[i] == '/')
            return Found(kTargetForwardSlash, i, at);
    }
    // A Japanese distribution may name its targets in code page 932,
    // whose second bytes may be "\\" or "|": whole characters only.
    int last = LastCharacterIndex(target);
    if (target[last] == '\\')
        return Found(kTargetTrailingSeparator, static_cast<size_t>(last), at);
    for (size_t i = 0; i < length; i += CharacterLength(target + i)) {
        if (CharacterLength(target + i) == 1 && IsBadNameCharacter(static_cast<unsigned char>(target[i])))
            return Found(kTargetBadCharacter, i, at);
    }
    size_t start = 0;
    for (size_t i = 0; i <= length; i += i < length ? CharacterLength(target + i) : 1) {
        if (i < length && target[i] != '\\')
            continue;
        TargetProblem problem = CheckPart(target + start, target + i);
        if (problem != kTargetOk)
            return Found(problem, start, at);
        start = i + 1;
    }
    return Found(kTargetOk, 0, at);
}

int IsBareFileName(const char* source)
{
    if (source[0] == '\0')
        return 0;
    for (const char* p = source; *p != '\0'; p += CharacterLength(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            return 0;
    }
    return CheckPart(source, source + Length(source)) == kTargetOk;
}
