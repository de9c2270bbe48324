// The end-to-end driver's language check: which English texts a run of
// another language may not show, found whole or inside a text; and the
// language and DPI a scenario's name gives its run.
#include <gtest/gtest.h>

#include <wchar.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/checktext.h"

namespace {

typedef std::vector<std::wstring> Texts;

TEST(CheckText, FormatParts) {
    struct Case {
        const wchar_t* format;
        Texts parts;
    } cases[] = {
        {L"no conversion", {L"no conversion"}},
        {L"Please insert disk %d now.", {L"Please insert disk ", L" now."}},
        {L"%s", {L"", L""}},
        {L"Not installed: %s", {L"Not installed: ", L""}},
        {L"line %u of %s", {L"line ", L" of ", L""}},
        {L"100%% of %lu KB", {L"100% of ", L" KB"}},
        {L"[%-10.4ls]", {L"[", L"]"}},
        {L"%08lX%c", {L"", L"", L""}},
        {L"cut %", {L"cut ", L""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format, c.format + wcslen(c.format)));
        EXPECT_EQ(FormatParts(c.format), c.parts);
    }
}

// English and German texts as a program holds them, and what a German run
// may not show of the English.
TEST(CheckText, ForeignTextsOf) {
    const std::vector<KeyedText> english = {
        {"c3", L"Tovarin Setup - Destination"},      // translated
        {"d3.0", L"OK"},                            // the same in German
        {"d3.1", L"Cancel"},                        // translated, short
        {"d4.0", L"Tovarin Guide"},                 // kept, under another key in German
        {"d4.1", L"Online guide with help"},        // missing in German
        {"s6", L"Please insert Tovarin disk %d into the drive and choose OK."},
        {"s17", L"Not installed: %s"},
        {"s18", L"%s"},                             // nothing fixed
        {"s20", L"Setup Tovarin"},                  // lies inside a German text
        {"s21", L""},
    };
    const std::vector<KeyedText> german = {
        {"c3", L"Tovarin-Installation - Zielverzeichnis"},
        {"d3.0", L"OK"},
        {"d3.1", L"Abbrechen"},
        {"d4.0", L"Tovarin-Handbuch"},
        {"d9.0", L"Tovarin Guide"},
        {"s6", L"Bitte legen Sie Tovarin-Diskette %d ein und w\u00e4hlen Sie OK."},
        {"s17", L"Nicht installiert: %s"},
        {"s18", L"%s"},
        {"s20", L"Einstellungen f\u00fcr Setup Tovarin"},
        {"s22", L"Einstellungen f\u00fcr Setup Tovarin und mehr"},
    };
    ForeignTexts foreign = ForeignTextsOf(english, german);
    EXPECT_EQ(foreign.whole,
              Texts({L"Tovarin Setup - Destination", L"Cancel", L"Online guide with help", L"Setup Tovarin"}));
    EXPECT_EQ(foreign.parts, Texts({L"Tovarin Setup - Destination", L"Online guide with help",
                                    L"Please insert Tovarin disk ", L" into the drive and choose OK.",
                                    L"Not installed: "}));

    // A run of the same language: nothing is foreign.
    ForeignTexts none = ForeignTextsOf(english, english);
    EXPECT_TRUE(none.whole.empty());
    EXPECT_TRUE(none.parts.empty());
}

TEST(CheckText, FindForeignText) {
    const ForeignTexts foreign = {{L"Cancel", L"Tovarin Setup - Destination"},
                                  {L"Tovarin Setup - Destination", L"Not installed: "}};
    struct Case {
        const wchar_t* shown;
        const wchar_t* found;   // null: none
    } cases[] = {
        {L"Cancel", L"Cancel"},
        {L"&Cancel", nullptr},                            // another text, not the English one
        {L"Cancel it", nullptr},                          // short texts count only whole
        {L"Abbrechen", nullptr},
        {L"Tovarin Setup - Destination", L"Tovarin Setup - Destination"},
        {L"Not installed: C:\\TOVARIN\\a.dat", L"Not installed: "},
        {L"Nicht installiert: C:\\TOVARIN\\a.dat", nullptr},
        {L"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.shown, c.shown + wcslen(c.shown)));
        std::wstring found;
        bool any = FindForeignText(foreign, c.shown, &found);
        EXPECT_EQ(any, c.found != nullptr);
        if (any && c.found)
            EXPECT_EQ(found, c.found);
    }
}

TEST(CheckText, ParseRunName) {
    struct Case {
        const char* name;
        bool ok;
        const char* language;
        int dpi;
    } cases[] = {
        {"fit-setup-de-120", true, "de", 120},
        {"fit-remove-fr-96", true, "fr", 96},
        {"fit-proofs-en-96", true, "en", 96},
        {"x-en-120", true, "en", 120},
        {"fit-setup-de_CH-96", true, "de_CH", 96},
        {"fit-setup-de_AT-96", false, "", 0},  // a locale no run names
        {"fit-setup-es-96", false, "", 0},     // no such language
        {"fit-setup-de-144", false, "", 0},    // no such DPI
        {"fit-setup-de-", false, "", 0},
        {"fit-setup-de", false, "", 0},
        {"found-two", false, "", 0},
        {"de-96", false, "", 0},               // no name before them
        {"", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string language;
        int dpi = 0;
        EXPECT_EQ(ParseRunName(c.name, &language, &dpi), c.ok);
        if (c.ok) {
            EXPECT_EQ(language, c.language);
            EXPECT_EQ(dpi, c.dpi);
        }
    }
}

} // namespace
