#include "tools/mkdist/layout.h"

#include <string.h>

#include "base/text.h"

namespace {

// The characters of text, each one or two bytes in the code page the tools
// read: a double-byte character is never cut nor taken for "\\" or ".".
std::vector<std::string> Characters(const std::string& text)
{
    std::vector<std::string> out;
    const char* p = text.c_str();
    for (size_t n; (n = CharacterLength(p)) != 0; p += n) out.emplace_back(p, n);
    return out;
}

// Letters, digits and the punctuation that a FAT short name allows, A-Z
// lowered; a blank or a dot is dropped, any other character becomes "_".
std::string FatChars(const std::vector<std::string>& characters, size_t begin, size_t end, bool dropDots)
{
    std::string out;
    for (size_t i = begin; i < end; ++i) {
        const std::string& c = characters[i];
        unsigned char u = static_cast<unsigned char>(c[0]);
        if (c.size() == 1 && (u == ' ' || (dropDots && u == '.'))) continue;
        if (c.size() == 1 && u >= 'A' && u <= 'Z') u = static_cast<unsigned char>(u - 'A' + 'a');
        bool ok = c.size() == 1 && ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
                                    strchr("!#$%&'()-@^_`{}~", u) != nullptr);
        out += ok ? static_cast<char>(u) : '_';
    }
    return out;
}

}  // namespace

uint64_t DiskBytes(const DiskGeometry& disk, uint64_t size)
{
    uint64_t unit = disk.cluster == 0 ? 1 : disk.cluster;
    return (size + unit - 1) / unit * unit;
}

std::string ShortDiskName(const std::string& targetPath, bool compressed, std::set<std::string>* taken)
{
    // The name after the last separator, split at its last dot; blanks and
    // inner dots are dropped as the short-name rule drops them.
    std::vector<std::string> characters = Characters(targetPath);
    size_t start = 0, dot = std::string::npos;
    for (size_t i = 0; i < characters.size(); ++i) {
        if (characters[i] == "\\" || characters[i] == "/") start = i + 1, dot = std::string::npos;
        if (characters[i] == ".") dot = i;
    }
    size_t baseEnd = dot == std::string::npos ? characters.size() : dot;
    std::string base = FatChars(characters, start, baseEnd, true).substr(0, 8);
    std::string ext = dot == std::string::npos ? "" : FatChars(characters, dot + 1, characters.size(), false).substr(0, 3);
    if (base.empty()) base = "_";
    if (compressed) ext = ext.size() < 3 ? ext + "_" : ext.substr(0, 2) + "_";

    auto compose = [](const std::string& b, const std::string& e) {
        return e.empty() ? b : b + "." + e;
    };
    std::string candidate = compose(base, ext);
    for (unsigned n = 1; taken->count(candidate) != 0; ++n) {
        std::string tail = "~" + std::to_string(n);
        candidate = compose(base.substr(0, 8 - tail.size()) + tail, ext);
    }
    taken->insert(candidate);
    return candidate;
}

int SpreadOverDisks(const DiskGeometry& disk, const std::vector<uint64_t>& sizes,
                    uint64_t firstDiskBytes, uint32_t firstDiskEntries, std::vector<int>* diskOf)
{
    diskOf->assign(sizes.size(), -1);
    if (firstDiskBytes > disk.capacity || firstDiskEntries > disk.rootEntries) return -2;
    std::vector<uint64_t> used(1, firstDiskBytes);
    std::vector<uint32_t> entries(1, firstDiskEntries);
    for (size_t i = 0; i < sizes.size(); ++i) {
        uint64_t need = DiskBytes(disk, sizes[i]);
        if (need > disk.capacity || disk.rootEntries == 0) return int(i);
        size_t d = 0;
        while (d < used.size() && (used[d] + need > disk.capacity || entries[d] + 1 > disk.rootEntries)) {
            ++d;
        }
        if (d == used.size()) {
            used.push_back(0);
            entries.push_back(0);
        }
        used[d] += need;
        entries[d] += 1;
        (*diskOf)[i] = int(d);
    }
    return -1;
}
