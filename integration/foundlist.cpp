// The found-installations list and the path texts of the search.
#include "integration/foundlist.h"

#include "catalogue/catfile.h"
#include "base/pathtext.h"

uint32_t FoundListLength(const uint8_t* block)
{
    return ReadLE32(block);
}

void SetFoundListLength(uint8_t* block, uint32_t totalLength)
{
    WriteLE32(block, totalLength);
}

const char* NextFoundEntry(const uint8_t* block, size_t blockBytes, uint32_t* offset)
{
    if (blockBytes < kFoundListHeaderBytes)
        return nullptr;
    uint64_t end = FoundListLength(block);
    if (end > blockBytes)
        end = blockBytes;
    uint64_t start = *offset;
    for (uint64_t i = start; i < end; ++i) {
        if (block[i] == 0) {
            *offset = static_cast<uint32_t>(i + 1);
            return reinterpret_cast<const char*>(block + start);
        }
    }
    return nullptr;
}

uint32_t StoreFoundEntry(uint8_t* block, size_t blockBytes, uint32_t offset,
                         const char* directory)
{
    size_t length = TextLength(directory);
    if (offset > blockBytes || length + 1 > blockBytes - offset)
        return 0;
    for (size_t i = 0; i <= length; ++i)
        block[offset + i] = static_cast<uint8_t>(directory[i]);
    return static_cast<uint32_t>(length + 1);
}

size_t SearchPattern(const char* dir, char* out, size_t capacity)
{
    return JoinPath(dir, "*.*", out, capacity);
}

size_t ChildPath(const char* dir, const char* name, char* out, size_t capacity)
{
    return JoinPath(dir, name, out, capacity);
}

int IsDotEntry(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}
