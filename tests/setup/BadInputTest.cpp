// Hostile scripts and language files: huge lines, NUL bytes, many lines, long values.
#include <gtest/gtest.h>

#include <string>

#include "FakePlatform.h"
#include "SetupContext.h"
#include "SetupScript.h"

namespace {

TEST(BadInput, HugeLineIsReadWhole)
{
    std::string value(4 * 1024 * 1024, 'v');
    SetupScript script = SetupScript::fromText("[A]\r\nk=" + value + "\r\nj=2\r\n");
    EXPECT_EQ(script.getString("A", "k", "").size(), value.size());
    EXPECT_EQ(script.getString("A", "j", ""), "2");
    EXPECT_EQ(script.lineCount("A"), 2u);
}

TEST(BadInput, HundredThousandLinesWithoutEquals)
{
    std::string text = "[A]\r\n";
    for (int i = 0; i < 100000; ++i)
        text += "line without an equals sign " + std::to_string(i) + "\r\n";
    text += "k=last\r\n";
    SetupScript script = SetupScript::fromText(text);
    EXPECT_EQ(script.lineCount("A"), 100001u);
    EXPECT_EQ(script.getString("A", "k", ""), "last");
    std::string line;
    EXPECT_TRUE(script.getLine("A", 99999, line));
    EXPECT_EQ(line, "line without an equals sign 99999");
}

TEST(BadInput, OnlyCarriageReturnsAndNuls)
{
    const std::string texts[] = {std::string(100000, '\r'), std::string(100000, '\0'),
                                 std::string("[A]") + std::string(50000, '\r') + "\n",
                                 std::string("[A]\r\n") + std::string(1000, '\0') + "=\r\n"};
    for (const std::string& text : texts) {
        SetupScript script = SetupScript::fromText(text);
        EXPECT_EQ(script.getString("A", "k", "d"), "d");
        EXPECT_LE(script.lineCount("A"), 1u);
    }
}

class BadFilesTest : public ::testing::Test {
protected:
    FakePlatform platform;
    void SetUp() override { platform.files["English.dat"] = "[WELCOME_DIALOG]\r\nDialog_Title=Hello\r\n"; }
};

TEST_F(BadFilesTest, ScriptOfNulBytesAndNoSections)
{
    platform.files["Setup.ini"] = std::string(200000, '\0');
    SetupContext context(platform);
    EXPECT_EQ(context.productName(), "");
    EXPECT_EQ(context.startPage(), PageProcess);
    EXPECT_EQ(platform.opened.back(), "C:\\Setup\\English.dat");
}

TEST_F(BadFilesTest, ValuesLongerThanAPath)
{
    std::string longPath = "C:\\" + std::string(1000, 'p') + "\\Telvane";
    std::string longName(5000, 'n');
    platform.files["Setup.ini"] =
        "[GENERAL_INFO]\r\nProductName=" + longName + "\r\n[SETUP_INFO]\r\nDefaultInstallationPath=" + longPath +
        "\r\n[DIALOGS]\r\nWelcomeDialog=Y\r\n[SETUP_WINDOW]\r\nHeadingFont=" + std::string(300, 'f') + ",10,\r\n";
    SetupContext context(platform);
    EXPECT_EQ(context.productName(), longName);
    EXPECT_EQ(context.appDir(), longPath);
    EXPECT_EQ(context.defaultDirectoryName(), "Telvane");
    EXPECT_EQ(context.getVariable("WelcomeTitle"), "Hello");
    InstallLog* log = context.openInstallLog(false);
    EXPECT_EQ(log->commonLines().front(), "Application_Name=" + longName);
}

TEST_F(BadFilesTest, LanguageFileOfManyLines)
{
    std::string text = "[UNINSTALL_DIALOG]\r\n";
    for (int i = 0; i < 100000; ++i)
        text += "u" + std::to_string(i) + "\r\n";
    text += "[SETUP_INFO]\r\n";
    platform.files["English.dat"] = text;
    platform.files["Setup.ini"] = "[SETUP_INFO]\r\n";
    SetupContext context(platform);
    InstallLog* log = context.openInstallLog(false);
    ASSERT_EQ(log->commonLines().size(), 14u);
    EXPECT_EQ(log->commonLines()[13], "u12");
}

TEST_F(BadFilesTest, SelfReferencingInstallationPath)
{
    platform.files["Setup.ini"] = "[SETUP_INFO]\r\nDefaultInstallationPath=%AppDir%\\x\r\n"
                                  "DefaultShortcutFolderName=%OutputProgramGroup%%OutputProgramGroup%\r\n";
    SetupContext context(platform);
    context.setAppDir("%AppDir%\\%AppDir%");
    EXPECT_EQ(context.appDir(), "%AppDir%\\%AppDir%");
    context.setOutputProgramGroup("g%OutputProgramGroup%");
    EXPECT_EQ(context.getVariable("AppSCFolder"), "C:\\User\\Start Menu\\Programs\\g%OutputProgramGroup%");
}

} // namespace
