// Path text helpers.
#include "base/pathtext.h"

namespace {

// Position after the next backslash at or after from, or -1 when none.
int AfterBackslash(const char* path, int from)
{
    for (int i = from; path[i] != '\0'; i += static_cast<int>(CharacterLength(path + i))) {
        if (path[i] == '\\')
            return i + 1;
    }
    return -1;
}

}  // namespace

int ForEachDirectoryOfPath(const char* path, int (*make)(const char* dir, void* context),
                           void* context)
{
    char copy[260];
    if (CopyText(copy, sizeof copy, path) == 0 && path[0] != '\0')
        return 0;

    int position;
    if (copy[0] != '\0' && copy[1] == ':') {
        if (TextLength(copy) <= 3)
            return 1;
        position = 3;
    } else if (copy[0] == '\\' && copy[1] == '\\') {
        int afterServer = AfterBackslash(copy, 2);
        if (afterServer < 0)
            return 0;
        int afterShare = AfterBackslash(copy, afterServer);
        if (afterShare < 0)
            return 1;
        position = afterShare;
    } else {
        return 0;
    }

    for (;;) {
        int end = position;
        while (copy[end] != '\0' && copy[end] != '\\')
            end += static_cast<int>(CharacterLength(copy + end));
        bool more = copy[end] == '\\';
        copy[end] = '\0';
        int made = make(copy, context);
        if (!more)
            return made ? 1 : 0;
        copy[end] = '\\';
        if (!made)
            return 0;
        position = end + 1;
    }
}

DrivePathProblem CheckDrivePath(const char* path)
{
    if (path[0] == '\\' && path[1] == '\\')
        return kNetworkPath;
    char drive = path[0];
    bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    if (!letter || path[1] != ':' || path[2] != '\\')
        return kNotFullPath;
    // A "|" may be the second byte of a character: only whole characters
    // are judged.
    for (const char* p = path + 3; *p != '\0'; p += CharacterLength(p)) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (CharacterLength(p) == 1 && (c < 0x20 || c == '/' || c == ':' || c == '"' || c == '*' || c == '?' ||
                                        c == '<' || c == '>' || c == '|'))
            return kBadNameCharacter;
    }
    return kDrivePathOk;
}

size_t VolumeRoot(const char* path, char* out, size_t capacity)
{
    if (path[0] != '\0' && path[1] == ':') {
        if (capacity < 4)
            return 0;
        out[0] = path[0];
        out[1] = ':';
        out[2] = '\\';
        out[3] = '\0';
        return 3;
    }
    if (path[0] != '\0' && path[1] == '\\') {
        int afterServer = AfterBackslash(path, 2);
        int afterShare = afterServer < 0 ? -1 : AfterBackslash(path, afterServer);
        if (afterShare >= 0) {
            if (static_cast<size_t>(afterShare) >= capacity)
                return 0;
            for (int i = 0; i < afterShare; ++i)
                out[i] = path[i];
            out[afterShare] = '\0';
            return static_cast<size_t>(afterShare);
        }
    }
    return CopyText(out, capacity, path);
}

uint32_t FreeSpaceFromClusters(uint32_t freeClusters, uint32_t bytesPerSector,
                               uint32_t sectorsPerCluster)
{
    // Today's volumes overflow 32 bits here; the product of three 32-bit
    // numbers can overflow 64 bits too, so the last factor is checked.
    uint64_t clusterBytes = static_cast<uint64_t>(bytesPerSector) * sectorsPerCluster;
    const uint64_t limitKB = 0xFFFFFFFFu;
    if (clusterBytes != 0 && freeClusters > (limitKB * 1024u) / clusterBytes)
        return 0xFFFFFFFFu;
    uint64_t kb = (static_cast<uint64_t>(freeClusters) * clusterBytes + 512u) / 1024u;
    return kb > limitKB ? 0xFFFFFFFFu : static_cast<uint32_t>(kb);
}

const char kSetAsideSuffix[] = ".~tv";

namespace {

int IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

TemporaryKind TemporaryFileKind(const char* name)
{
    size_t length = TextLength(name);
    if (length == 11 && SameTextIgnoringCase(name + 7, ".tmp") && (name[0] == '~') &&
        (name[1] == 't' || name[1] == 'T') && (name[2] == 'v' || name[2] == 'V') &&
        IsHexDigit(name[3]) && IsHexDigit(name[4]) && IsHexDigit(name[5]) && IsHexDigit(name[6]))
        return kNewContents;
    size_t suffix = TextLength(kSetAsideSuffix);
    if (length > suffix && SameTextIgnoringCase(name + length - suffix, kSetAsideSuffix))
        return kSetAside;
    return kNotTemporary;
}

size_t ParentDirectory(const char* path, char* out, size_t capacity)
{
    if (CopyText(out, capacity, path) == 0)
        return 0;
    int slash = LastBackslash(out);
    if (slash < 0) {
        out[0] = '\0';
        return 0;
    }
    out[slash] = '\0';
    return static_cast<size_t>(slash);
}
