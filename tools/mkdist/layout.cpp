#include "tools/mkdist/layout.h"

#include <string.h>

namespace {

std::string Lower(std::string s)
{
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return s;
}

// Letters, digits and the punctuation that a FAT short name allows.
std::string FatChars(const std::string& s)
{
    std::string out;
    for (char c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        bool ok = (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
                  (u != 0 && strchr("!#$%&'()-@^_`{}~", u) != nullptr);
        out += ok ? c : '_';
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
    size_t slash = targetPath.find_last_of("\\/");
    std::string name = Lower(slash == std::string::npos ? targetPath : targetPath.substr(slash + 1));
    size_t dot = name.find_last_of('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    // Blanks and inner dots are dropped as the short-name rule drops them.
    std::string squeezed;
    for (char c : base) {
        if (c != ' ' && c != '.') squeezed += c;
    }
    base = FatChars(squeezed).substr(0, 8);
    std::string extSqueezed;
    for (char c : ext) {
        if (c != ' ') extSqueezed += c;
    }
    ext = FatChars(extSqueezed).substr(0, 3);
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
