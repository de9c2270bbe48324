// Feeds arbitrary bytes to the group-list splitter as Program Manager's
// answer: a block of the given size that need not hold a NUL, as another
// process may send it.  Nothing outside the block is read or written; every
// group handed out lies inside the block, is not empty and holds no line
// end; and the groups are exactly those of a plain reading of the text.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "integration/progmantext.h"

namespace {

struct Seen {
    const char* begin;
    const char* end;
    std::vector<std::string> groups;
};

void Check(bool condition)
{
    if (!condition) abort();
}

void Add(const char* group, void* context)
{
    Seen* seen = static_cast<Seen*>(context);
    Check(group >= seen->begin && group < seen->end);
    size_t length = strnlen(group, size_t(seen->end - group));
    Check(group + length < seen->end);  // its NUL is inside the block
    Check(length != 0);
    Check(memchr(group, '\n', length) == nullptr);
    seen->groups.emplace_back(group, length);
}

// The groups as a reader of the text sees them: up to the first NUL or
// the block's end, lines that a line feed ends, without a carriage return
// before the line feed, empty lines dropped.
std::vector<std::string> Expected(const uint8_t* data, size_t size)
{
    std::vector<std::string> groups;
    const char* text = reinterpret_cast<const char*>(data);
    size_t length = strnlen(text, size);
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '\n')
            continue;
        size_t end = i;
        if (end > start && text[end - 1] == '\r')
            --end;
        if (end > start)
            groups.emplace_back(text + start, end - start);
        start = i + 1;
    }
    return groups;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A block of exactly size bytes, so that AddressSanitizer sees any read
    // past it.
    char* block = static_cast<char*>(malloc(size ? size : 1));
    if (block == nullptr) return 0;
    if (size != 0) memcpy(block, data, size);
    Seen seen = {block, block + size, {}};
    SplitGroupList(block, size, Add, &seen);
    Check(seen.groups == Expected(data, size));
    free(block);
    return 0;
}
