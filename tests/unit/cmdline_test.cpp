// The command-line tail: the program name and the blanks after it skipped.
#include <gtest/gtest.h>

#include <string.h>

#include "shell/cmdline.h"

namespace {

TEST(CommandTail, Cases) {
    struct Case { const char* what; const char* line; const char* tail; } cases[] = {
        {"name only", "setup.exe", ""},
        {"two blanks then arguments", "setup.exe  /a b", "/a b"},
        {"quoted name with a blank", "\"C:\\My Files\\setup.exe\" x", "x"},
        {"quoted name, argument right after the quote", "\"C:\\My Files\\setup.exe\"x", "x"},
        {"empty quoted name", "\"\" x", "x"},
        {"unterminated quote runs to the end", "\"C:\\My Files\\setup.exe x", ""},
        {"lone quote", "\"", ""},
        {"tabs and control characters after the name", "setup.exe\t\x01\x1f arg", "arg"},
        {"control characters end an unquoted name", "setup\x01" "exe", "exe"},
        {"bytes from 0x80 belong to the name", "s\xe9tup\x80\xff.exe arg", "arg"},
        {"tail may start with a byte from 0x80", "setup.exe \x80x", "\x80x"},
        {"DEL is not a blank", "setup.exe \x7f" "x", "\x7f" "x"},
        {"trailing blanks stay in the tail", "setup.exe a b  ", "a b  "},
        {"only blanks after the name", "setup.exe \t ", ""},
        {"empty line", "", ""},
        {"line of blanks", "   ", ""},
        {"a leading blank: the name is empty", " setup.exe x", "setup.exe x"},
        {"a quote inside an unquoted name is an ordinary byte", "set\"up a\" b", "a\" b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const char* tail = CommandTail(c.line);
        ASSERT_GE(tail, c.line);
        ASSERT_LE(tail, c.line + strlen(c.line));
        // The tail is the end of the line itself, not a copy.
        EXPECT_EQ(tail, c.line + strlen(c.line) - strlen(c.tail));
        EXPECT_STREQ(tail, c.tail);
    }
}

}  // namespace
