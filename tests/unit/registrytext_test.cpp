#include <gtest/gtest.h>

#include <string>

#include "integration/registrytext.h"

TEST(RegistryText, RegistryData)
{
    char out[260];
    OpenCommandText("C:\\My Apps", out, sizeof out);
    EXPECT_STREQ(out, "C:\\My Apps\\tovarin.exe \"%1\"") << "only the document is quoted";
    IconText("C:\\Tovarin", 1, out, sizeof out);
    EXPECT_STREQ(out, "C:\\Tovarin\\tovarin.exe ,1");
    IconText("D:\\", 2, out, sizeof out);
    EXPECT_STREQ(out, "D:\\\\tovarin.exe ,2");
    AppPathText("C:\\Tovarin", out, sizeof out);
    EXPECT_STREQ(out, "C:\\Tovarin\\tovarin.exe");
    EXPECT_EQ(TemplateFilenameText("C:\\Windows\\Templates", out, sizeof out), 32u);
    EXPECT_STREQ(out, "C:\\Windows\\Templates\\default.tvd");
    std::string longDir(250, 'd');
    EXPECT_EQ(OpenCommandText(longDir.c_str(), out, sizeof out), 0u);
    EXPECT_EQ(AppPathText(longDir.c_str(), out, sizeof out), 0u);
}
