// The Windows side of the setup core under Wine: files, registry, versions, folders, controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "ControlHelpers.h"
#include "FileVersionInfo.h"
#include "RegistryHelper.h"
#include "SetupApp.h"
#include "SetupContext.h"
#include "SetupExceptions.h"
#include "SetupScript.h"
#include "TextFile.h"
#include "WindowsPlatform.h"

namespace {

std::string scratchFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "setup_core_tests." + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
}

class RegistryTest : public ::testing::Test {
protected:
    std::string keyPath = "Software\\TelvaneSetupTest\\" + std::to_string(GetCurrentProcessId());
    HKEY key = nullptr;

    void SetUp() override
    {
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        RegDeleteKeyA(HKEY_CURRENT_USER, keyPath.c_str());
    }
    void setValue(const char* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
};

TEST_F(RegistryTest, ValueTypesAsText)
{
    setValue("Text", REG_SZ, "C:\\Programs", 12);
    setValue("Expand", REG_EXPAND_SZ, "%SystemRoot%\\x", 15);
    DWORD one = 1, minus = 0xFFFFFFFF;
    setValue("One", REG_DWORD, &one, 4);
    setValue("Minus", REG_DWORD, &minus, 4);
    setValue("Multi", REG_MULTI_SZ, "a\0b\0", 5);
    setValue("Binary", REG_BINARY, "\x01\x02", 2);
    const struct {
        const char* value;
        bool result;
        const char* text;
    } cases[] = {
        {"Text", true, "C:\\Programs"}, {"Expand", true, "%SystemRoot%\\x"},         {"One", true, "1"},
        {"Minus", true, "-1"},          {"Multi", false, "Can't convert to string"}, {"Binary", false, "Binary data"},
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(RegistryHelper::getString(2, keyPath + "\\" + c.value, text), c.result) << c.value;
        EXPECT_EQ(text, c.text) << c.value;
    }
    std::string text = "kept";
    EXPECT_FALSE(RegistryHelper::getString(2, keyPath + "\\Missing", text));
    EXPECT_FALSE(RegistryHelper::getString(2, keyPath + "Missing\\Text", text));
    EXPECT_EQ(text, "kept");
}

TEST_F(RegistryTest, RootsAndPathLimits)
{
    setValue("Text", REG_SZ, "x", 2);
    std::string text;
    for (int root : {0, 4, -1, 100})
        EXPECT_FALSE(RegistryHelper::getString(root, keyPath + "\\Text", text)) << root;
    EXPECT_TRUE(RegistryHelper::getString(2, keyPath + "\\Text", text));
    // A value of 260 characters or more does not fit the query buffer: the read fails.
    std::string big(300, 'b');
    setValue("Big", REG_SZ, big.c_str(), static_cast<DWORD>(big.size() + 1));
    EXPECT_FALSE(RegistryHelper::getString(2, keyPath + "\\Big", text));
    std::string fits(258, 'f');
    setValue("Fits", REG_SZ, fits.c_str(), static_cast<DWORD>(fits.size() + 1));
    EXPECT_TRUE(RegistryHelper::getString(2, keyPath + "\\Fits", text));
    EXPECT_EQ(text, fits);
    // 259 characters and the terminating zero fill the buffer exactly.
    std::string full(259, 'z');
    setValue("Full", REG_SZ, full.c_str(), static_cast<DWORD>(full.size() + 1));
    EXPECT_TRUE(RegistryHelper::getString(2, keyPath + "\\Full", text));
    EXPECT_EQ(text, full);
    std::string longPath = keyPath + "\\" + std::string(400, 'k') + "\\Text";
    EXPECT_FALSE(RegistryHelper::getString(2, longPath, text));
    // No backslash: a value of the root key itself (none of that name exists).
    EXPECT_FALSE(RegistryHelper::getString(2, "TelvaneSetupTestNoSuchValue", text));
}

TEST(RegistryRead, ProgramFilesOfThePrefix)
{
    std::string text;
    ASSERT_TRUE(
        RegistryHelper::getMachineSoftwareString("Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", text));
    EXPECT_EQ(text.substr(1), ":\\Program Files");
}

TEST(FileVersion, OfADllAProgramAndAText)
{
    std::string dll = std::string(moduleFolder()) + "\\Tools.dll";
    FileVersionInfo tools(dll);
    ASSERT_TRUE(tools.valid());
    EXPECT_EQ(tools.fixedInfo()[0], 0xFEEF04BDu);
    EXPECT_EQ(tools.fileVersionHigh(), 0x00010000u);
    EXPECT_EQ(tools.fileVersionLow(), 0x00000001u);
    EXPECT_EQ(tools.languageId(), 0x409);
    EXPECT_EQ(tools.codePage(), 1200);

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    FileVersionInfo program(self);
    EXPECT_FALSE(program.valid());
    EXPECT_EQ(program.codePage(), 1252);
    EXPECT_EQ(program.languageId(), 0);

    std::string text = scratchFolder() + "\\plain.txt";
    writeFile(text, "not a module\r\n");
    FileVersionInfo plain(text);
    EXPECT_FALSE(plain.valid());
    EXPECT_EQ(plain.fixedInfo()[2], 0u);
    FileVersionInfo missing(scratchFolder() + "\\missing.dll");
    EXPECT_FALSE(missing.valid());
}

TEST(ScriptFile, ReadsBytesAndReportsTheBareName)
{
    std::string folder = scratchFolder();
    writeFile(folder + "\\a.ini", std::string("[A]\r\nk=v\0w\r\nlf=x\nlast=y", 23));
    SetupScript script(folder, "a.ini");
    EXPECT_EQ(script.getString("A", "k", ""), std::string("v\0w", 3));
    EXPECT_EQ(script.getString("A", "last", "d"), "d");
    SetupScript trailing(folder + "\\", "a.ini");
    EXPECT_EQ(trailing.text(), script.text());
    writeFile(folder + "\\empty.ini", "");
    EXPECT_EQ(SetupScript(folder, "empty.ini").lineCount("A"), 0u);
    try {
        SetupScript none(folder, "Missing.ini");
        FAIL() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName, "Missing.ini");
        EXPECT_EQ(e.kind, FileCannotOpen);
    }
    std::string huge = "[A]\r\n";
    for (int i = 0; i < 100000; ++i)
        huge += "line" + std::to_string(i) + "=" + std::string(20, 'x') + "\r\n";
    writeFile(folder + "\\huge.ini", huge);
    EXPECT_EQ(SetupScript(folder, "huge.ini").lineCount("A"), 100000u);
}

TEST(TextFileOpen, ComposesThePathAndReportsIt)
{
    std::string folder = scratchFolder();
    writeFile(folder + "\\license.txt", "terms");
    TextFile file(folder, "license.txt", "rb");
    char buffer[8] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, file.stream()), 5u);
    file.close();
    EXPECT_EQ(file.stream(), nullptr);
    try {
        TextFile none(folder + "\\", "gone.txt", "rb");
        FAIL() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName, folder + "\\gone.txt");
        EXPECT_EQ(e.kind, FileCannotOpen);
    }
}

TEST(WinExceptionCode, TakenAtConstruction)
{
    SetLastError(ERROR_FILE_NOT_FOUND);
    WinException e("Some failure");
    SetLastError(0);
    EXPECT_EQ(e.code, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_STREQ(e.text, "Some failure");
}

TEST(Frame, NamesAndFolder)
{
    EXPECT_STREQ(mainWindowClassName(), "OrvikSetup");
    EXPECT_STREQ(splashWindowClassName(), "OrvikSetupSplash");
    EXPECT_STREQ(engineVersion(), "1.4.7");
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string expected = self;
    expected = expected.substr(0, expected.rfind('\\'));
    EXPECT_EQ(moduleFolder(), expected);
    EXPECT_NE(expected.back(), '\\');
}

TEST(Platform, FoldersOfTheRunningWindows)
{
    WindowsPlatform& platform = windowsPlatform();
    std::string temp = platform.tempDirectory();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_FALSE(platform.windowsDirectory().empty());
    EXPECT_EQ(platform.systemDirectory().find(platform.windowsDirectory()), 0u);
    for (ShellFolder folder : {ShellFolder::Desktop, ShellFolder::StartUp, ShellFolder::StartMenu,
                               ShellFolder::Programs, ShellFolder::CommonDesktop, ShellFolder::CommonPrograms}) {
        std::string path = platform.shellFolder(folder);
        EXPECT_FALSE(path.empty());
        EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
    }
    EXPECT_NE(platform.shellFolder(ShellFolder::Desktop), platform.shellFolder(ShellFolder::CommonDesktop));
    EXPECT_EQ(platform.shellFolder(ShellFolder::StartMenu) + "\\Programs", platform.shellFolder(ShellFolder::Programs));
}

TEST(Controls, TextBufferAndListHelpers)
{
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    std::string longText(700, 'e');
    controls::setText(edit, longText.c_str());
    EXPECT_EQ(controls::textLength(edit), 700);
    EXPECT_EQ(std::string(controls::readText(edit)), std::string(511, 'e'));
    controls::setText(edit, "short");
    const char* first = controls::readText(edit);
    EXPECT_STREQ(first, "short");
    controls::setText(edit, "other");
    EXPECT_EQ(controls::readText(edit), first); // one buffer, overwritten
    EXPECT_STREQ(first, "other");
    DestroyWindow(edit);

    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    char selected[64] = {};
    EXPECT_FALSE(controls::readSelectedItem(list, selected));
    controls::addListItem(list, "English");
    controls::addListItem(list, "German");
    controls::selectListItem(list, "germ");
    ASSERT_TRUE(controls::readSelectedItem(list, selected));
    EXPECT_STREQ(selected, "German");
    DestroyWindow(list);

    HWND box =
        CreateWindowExA(0, "BUTTON", "x", WS_POPUP | BS_AUTOCHECKBOX, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(controls::isTicked(box));
    controls::tick(box);
    EXPECT_TRUE(controls::isTicked(box));
    controls::untick(box);
    EXPECT_FALSE(controls::isTicked(box));
    DestroyWindow(box);
}

TEST(FontSetting, IntoALogFont)
{
    std::string folder = scratchFolder();
    writeFile(folder + "\\Setup.ini",
              "[DIALOGS]\r\nSetupWindow=Y\r\n[SETUP_WINDOW]\r\nHeadingFont=Verdana,-20,700,1,0,1\r\n"
              "FooterFont=" +
                  std::string(40, 'F') + ",14,\r\n");
    writeFile(folder + "\\English.dat", "[STRINGS]\r\n");
    writeFile(folder + "\\setup.zip", "");
    struct FolderPlatform : WindowsPlatform {
        std::string folder;
        std::string programFolder() override { return folder; }
        bool fileExists(const std::string& name) override { return WindowsPlatform::fileExists(folder + "\\" + name); }
    } platform;
    platform.folder = folder;
    SetupContext context(platform);
    LOGFONTA font;
    context.fontSetting("SWHeadingFont", font);
    EXPECT_STREQ(font.lfFaceName, "Verdana");
    EXPECT_EQ(font.lfHeight, -20);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfStrikeOut, 1);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfQuality, PROOF_QUALITY);
    context.fontSetting("SWFooterFont", font);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfHeight, 14);
    context.fontSetting("NeverSet", font);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfWeight, 400);
}

} // namespace
