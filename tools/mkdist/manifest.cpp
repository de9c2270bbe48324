#include "tools/mkdist/manifest.h"

#include <stdlib.h>

#include <map>

#include "base/text.h"
#include "catalogue/options.h"
#include "tools/infdump/infcheck.h"

namespace {

// Accepts 0x-hex or decimal; returns 0 on anything else.
int ParseNumber(const std::string& text, uint64_t* value)
{
    if (text.empty() || text.size() > 20) return 0;
    char* end = nullptr;
    int base = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') ? 16 : 10;
    const char* digits = text.c_str() + (base == 16 ? 2 : 0);
    if (*digits == '\0' || *digits == '-' || *digits == '+') return 0;
    *value = strtoull(digits, &end, base);
    return *end == '\0';
}

}  // namespace

int SplitFields(const std::string& line, std::vector<std::string>* fields)
{
    fields->clear();
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '"') {
            size_t close = line.find('"', i + 1);
            if (close == std::string::npos) return 0;
            fields->push_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        size_t end = line.find_first_of(" \t\r", i);
        if (end == std::string::npos) end = line.size();
        fields->push_back(line.substr(i, end - i));
        i = end;
    }
    return 1;
}

int ParseManifest(const std::string& text, Manifest* manifest, std::vector<ManifestError>* errors)
{
    *manifest = Manifest();
    manifest->setupLine = 0;
    manifest->ctl3dLine = 0;
    errors->clear();
    std::map<std::string, int> targets;   // lower-cased target -> line

    int lineNo = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        std::string line = text.substr(pos, nl - pos);
        pos = nl + 1;
        ++lineNo;

        auto fail = [&](const std::string& reason) { errors->push_back({lineNo, reason}); };
        if (line.find('\0') != std::string::npos) {
            fail("the line holds a NUL byte");
            continue;
        }
        std::vector<std::string> f;
        if (!SplitFields(line, &f)) {
            fail("unterminated double quote");
            continue;
        }
        if (f.empty() || f[0][0] == '#') continue;

        const std::string& what = f[0];
        if (what == "setup" || what == "ctl3d") {
            if (f.size() != 2) {
                fail("\"" + what + "\" takes one path, found " + std::to_string(f.size() - 1) + " fields");
                continue;
            }
            std::string& path = what == "setup" ? manifest->setupPath : manifest->ctl3dPath;
            int& at = what == "setup" ? manifest->setupLine : manifest->ctl3dLine;
            if (!path.empty()) {
                fail("second \"" + what + "\" line (the first is line " + std::to_string(at) + ")");
                continue;
            }
            if (f[1].empty()) {
                fail("empty path");
                continue;
            }
            path = f[1];
            at = lineNo;
            continue;
        }
        if (what != "file") {
            fail("unknown statement \"" + what + "\" (expected file, setup or ctl3d)");
            continue;
        }
        if (f.size() != 5) {
            fail("\"file\" takes SOURCE TARGET COMPONENT MODE, found " +
                 std::to_string(f.size() - 1) + " fields");
            continue;
        }
        ManifestFile file;
        file.line = lineNo;
        file.source = f[1];
        file.target = f[2];
        for (size_t i = 0, n = 0; i < file.target.size(); i += n != 0 ? n : 1) {
            n = CharacterLength(&file.target[i]);
            if (file.target[i] == '/') file.target[i] = '\\';
        }
        bool ok = true;
        if (file.source.empty()) {
            fail("empty source path");
            ok = false;
        }
        std::string why = TargetPathProblem(file.target);
        if (!why.empty()) {
            fail(why + ": \"" + f[2] + "\"");
            ok = false;
        }
        uint64_t bit = 0;
        if (!ParseNumber(f[3], &bit)) {
            fail("component \"" + f[3] + "\" is not a number");
            ok = false;
        } else if (bit > 0xFFFFFFFFu ||
                   (bit != kBaseComponent && ComponentIndex(uint32_t(bit)) == 0)) {
            fail("component " + f[3] + " is not one of the eighteen component bits 0x1 to 0x20000");
            ok = false;
        }
        file.component = uint32_t(bit);
        if (f[4] == "compress") {
            file.compress = true;
        } else if (f[4] == "plain") {
            file.compress = false;
        } else {
            fail("mode \"" + f[4] + "\" is neither compress nor plain");
            ok = false;
        }
        if (why.empty()) {
            auto seen = targets.emplace(LowerName(file.target), lineNo);
            if (!seen.second) {
                fail("duplicate target \"" + file.target + "\" (also on line " +
                     std::to_string(seen.first->second) + ")");
                ok = false;
            }
        }
        if (ok) manifest->files.push_back(file);
    }
    return errors->empty() ? 1 : 0;
}
