// The plain logic of the language check and of a run's name: see checktext.h.
#include "tests/e2e/driver/checktext.h"

#include <stdlib.h>
#include <wchar.h>

#include <algorithm>

std::vector<std::wstring> FormatParts(const std::wstring& format)
{
    std::vector<std::wstring> parts(1);
    for (size_t i = 0; i < format.size(); i++) {
        if (format[i] != L'%') {
            parts.back().push_back(format[i]);
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == L'%') {
            parts.back().push_back(L'%');
            i++;
            continue;
        }
        // Flags, width, precision and size, then the conversion's letter.
        while (i + 1 < format.size() && wcschr(L"-+#0123456789.lhI", format[i + 1]))
            i++;
        i++;
        parts.push_back(std::wstring());
    }
    return parts;
}

namespace {

bool InsideAny(const std::wstring& part, const std::vector<KeyedText>& texts)
{
    for (const KeyedText& t : texts)
        if (t.text.find(part) != std::wstring::npos)
            return true;
    return false;
}

bool AnyIs(const std::wstring& text, const std::vector<KeyedText>& texts)
{
    for (const KeyedText& t : texts)
        if (t.text == text)
            return true;
    return false;
}

} // namespace

ForeignTexts ForeignTextsOf(const std::vector<KeyedText>& english, const std::vector<KeyedText>& own)
{
    ForeignTexts foreign;
    for (const KeyedText& e : english) {
        auto counterpart = std::find_if(own.begin(), own.end(), [&](const KeyedText& o) { return o.key == e.key; });
        if (e.text.empty() || (counterpart != own.end() && counterpart->text == e.text) || AnyIs(e.text, own))
            continue;
        bool format = !e.key.empty() && e.key[0] == 's' && e.text.find(L'%') != std::wstring::npos;
        if (!format)
            foreign.whole.push_back(e.text);
        for (const std::wstring& part : format ? FormatParts(e.text) : std::vector<std::wstring>{e.text})
            if (part.size() >= kForeignPartLength && !InsideAny(part, own))
                foreign.parts.push_back(part);
    }
    return foreign;
}

bool FindForeignText(const ForeignTexts& foreign, const std::wstring& shown, std::wstring* found)
{
    if (shown.empty())
        return false;
    if (std::count(foreign.whole.begin(), foreign.whole.end(), shown)) {
        *found = shown;
        return true;
    }
    for (const std::wstring& part : foreign.parts)
        if (shown.find(part) != std::wstring::npos) {
            *found = part;
            return true;
        }
    return false;
}

bool ParseRunName(const std::string& name, std::string* language, int* dpi)
{
    size_t dash = name.find_last_of('-');
    if (dash == std::string::npos || dash == 0)
        return false;
    size_t languageDash = name.find_last_of('-', dash - 1);
    if (languageDash == std::string::npos)
        return false;
    std::string lang = name.substr(languageDash + 1, dash - languageDash - 1);
    std::string digits = name.substr(dash + 1);
    if (lang != "en" && lang != "de" && lang != "fr" && lang != "de_CH" && lang != "fr_CA" && lang != "ja")
        return false;
    if (digits != "96" && digits != "120")
        return false;
    *language = lang;
    *dpi = atoi(digits.c_str());
    return true;
}
