#include "tools/infdump/infcheck.h"

#include <stdio.h>
#include <string.h>

#include <map>

#include "base/text.h"
#include "catalogue/names.h"

namespace {

std::string Hex(uint32_t v)
{
    char text[16];
    snprintf(text, sizeof text, "0x%X", v);
    return text;
}

// A field's text up to its NUL, or all of its bytes when there is none.
std::string FieldText(const uint8_t* field)
{
    const void* nul = memchr(field, 0, kCatalogueNameBytes);
    size_t n = nul ? size_t(static_cast<const uint8_t*>(nul) - field) : size_t(kCatalogueNameBytes);
    return std::string(reinterpret_cast<const char*>(field), n);
}

void CopyCut(const std::string& text, char* field)
{
    size_t n = text.size() < kCatalogueNameBytes - 1 ? text.size() : kCatalogueNameBytes - 1;
    memcpy(field, text.data(), n);
    memset(field + n, 0, kCatalogueNameBytes - n);
}

}  // namespace

std::string LowerName(std::string text)
{
    // A NUL inside ends the text for the installer too.
    text = text.c_str();
    if (!text.empty()) LowerText(&text[0]);
    return text;
}

const char* ComponentName(uint32_t bit)
{
    switch (bit) {
    case 0x1:     return "base";
    case 0x2:     return "Import filters";
    case 0x4:     return "Fonts";
    case 0x8:     return "Document templates";
    case 0x10:    return "Tovarin Guide";
    case 0x20:    return "Clip art gallery";
    case 0x40:    return "Spelling and hyphenation";
    case 0x80:    return "Sample documents";
    case 0x100:   return "PostScript export";
    case 0x200:   return "Display typefaces";
    case 0x400:   return "Script typefaces";
    case 0x800:   return "Border art";
    case 0x1000:  return "Photo samples";
    case 0x2000:  return "French dictionary";
    case 0x4000:  return "German dictionary";
    case 0x8000:  return "Spanish dictionary";
    case 0x10000: return "Business forms";
    case 0x20000: return "Calendar templates";
    default:      return "";
    }
}

std::string TargetPathProblem(const std::string& path)
{
    size_t at = 0;
    switch (CheckTargetPath(path.c_str(), &at)) {
    case kTargetOk:
        return "";
    case kTargetEmpty:
        return "empty target path";
    case kTargetTooLong:
        return "target path of " + std::to_string(path.size()) +
               " characters does not fit its 260-byte field";
    case kTargetRooted:
        return "target path starts with a backslash";
    case kTargetDrive:
        return "target path names a drive";
    case kTargetForwardSlash:
        return "target path holds a forward slash, which Windows takes for a backslash";
    case kTargetTrailingSeparator:
        return "target path ends with a backslash";
    case kTargetBadCharacter: {
        char text[64];
        snprintf(text, sizeof text, "target path holds the character 0x%02X",
                 static_cast<unsigned char>(path[at]));
        return text;
    }
    case kTargetEmptyPart:
        return "target path has an empty directory name";
    case kTargetParent:
        return "target path leaves the destination (\"..\")";
    case kTargetDot:
        return "target path has a \".\" part";
    }
    return "target path is not allowed";
}

int CheckCatalogue(const uint8_t* data, size_t size, InfReport* report)
{
    report->entries.clear();
    report->problems.clear();
    report->notes.clear();
    report->sizeSum = 0;
    report->extraBytes = 0;
    memset(report->componentTotals, 0, sizeof report->componentTotals);
    memset(&report->header, 0, sizeof report->header);

    if (size < kCatalogueHeaderBytes) {
        report->problems.push_back("file of " + std::to_string(size) +
                                   " bytes is too short for the 16-byte header");
        return 0;
    }
    CatalogueHeader& h = report->header;
    DecodeCatalogueHeader(data, &h);
    if (h.signature != kCatalogueSignature) {
        report->problems.push_back("bad signature " + Hex(h.signature) + " (must be 0x100)");
        return 0;
    }
    if (h.entryCount == 0) {
        report->problems.push_back("the entry count is 0");
        return 0;
    }
    uint64_t need = CatalogueFileBytes(h.entryCount);
    if (size < need) {
        report->problems.push_back(
            "the header announces " + std::to_string(h.entryCount) + " entries (" +
            std::to_string(need) + " bytes) but the file has " + std::to_string(size) +
            " bytes, " + std::to_string((size - kCatalogueHeaderBytes) / kCatalogueEntryBytes) +
            " whole entries");
        return 0;
    }
    report->extraBytes = size - need;
    if (report->extraBytes != 0) {
        report->notes.push_back(std::to_string(report->extraBytes) +
                                " bytes after the last entry (not read by the installer)");
    }

    std::map<std::string, uint32_t> sources;
    report->entries.resize(h.entryCount);
    for (uint32_t i = 0; i < h.entryCount; ++i) {
        const uint8_t* bytes = data + kCatalogueHeaderBytes + uint64_t(kCatalogueEntryBytes) * i;
        CatalogueEntry& e = report->entries[i];
        std::string where = "entry " + std::to_string(i) + ": ";
        std::string source = FieldText(bytes);
        std::string target = FieldText(bytes + kCatalogueNameBytes);
        if (!DecodeCatalogueEntry(bytes, &e)) {
            if (source.size() == kCatalogueNameBytes) {
                report->problems.push_back(where + "source name not terminated within its 260 bytes");
            }
            if (target.size() == kCatalogueNameBytes) {
                report->problems.push_back(where + "target path not terminated within its 260 bytes");
            }
            CopyCut(source, e.sourceName);
            CopyCut(target, e.targetPath);
        }
        if (source.empty()) {
            report->problems.push_back(where + "empty source name");
        } else if (source.size() < kCatalogueNameBytes && !IsBareFileName(source.c_str())) {
            report->problems.push_back(where + "source name \"" + source +
                                       "\" is not a bare file name");
        }
        if (target.size() < kCatalogueNameBytes) {
            std::string why = TargetPathProblem(target);
            if (!why.empty()) report->problems.push_back(where + why + ": \"" + target + "\"");
        }
        if (ComponentIndex(e.componentMask) == 0 && e.componentMask != kBaseComponent) {
            report->problems.push_back(where + "component mask " + Hex(e.componentMask) +
                                       " is not one of the eighteen component bits");
        }
        report->sizeSum += e.size;
        report->componentTotals[ComponentIndex(e.componentMask)] += e.size;
        auto seen = sources.emplace(LowerName(source), i);
        if (!seen.second) {
            report->notes.push_back(where + "source name \"" + source + "\" also belongs to entry " +
                                    std::to_string(seen.first->second) +
                                    " (installed only after one more disk prompt)");
        }
    }
    if (report->sizeSum != h.totalBytes) {
        report->problems.push_back("header total " + std::to_string(h.totalBytes) +
                                   " differs from the sum of the sizes " +
                                   std::to_string(report->sizeSum));
    }
    return 1;
}
