// Shortcut and INI records against the real shell and profile functions, and the uninstaller's
// reading of setup.log, under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../FakePlatform.h"
#include "ErrorLog.h"
#include "IniHandler.h"
#include "InstallLog.h"
#include "RemovalLog.h"
#include "SetupContext.h"
#include "ShortcutHandler.h"

namespace {

std::string scratchFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + "." + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string windowText(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class ShortcutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform.files["Setup.ini"] = "[GENERAL_INFO]\r\nProductName=Probe\r\n";
        platform.files["English.dat"] = "[STRINGS]\r\n";
        context = std::make_unique<SetupContext>(platform);
        folder = scratchFolder("shortcuts");
        context->setVariable("Dest", folder);
        log = std::make_unique<InstallLog>(folder, "setup.log", false);
        log->setListType(InstallLog::System);
        errors = std::make_unique<ErrorLog>(folder + "\\error.log", log.get());
    }

    FakePlatform platform;
    std::unique_ptr<SetupContext> context;
    std::string folder;
    std::unique_ptr<InstallLog> log;
    std::unique_ptr<ErrorLog> errors;
};

TEST_F(ShortcutTest, RecordsTheirFilesFoldersAndErrors)
{
    const std::string longName(300, 'n');
    const struct {
        std::string record;
        std::vector<std::string> files;   // created and logged in APPFILES, relative to the folder
        std::vector<std::string> folders; // created and logged in APPFOLDERS, newest last
        std::vector<std::string> errors;
    } cases[] = {
        {"s,%Dest%\\Menu\\Sub\\App,%Dest%\\app.exe,-x,%Dest%\\app.exe,1,3,%Dest%",
         {"Menu\\Sub\\App.lnk"},
         {"Menu", "Menu\\Sub"},
         {}},
        {"s,%Dest%\\Menu\\Again,%Dest%\\app.exe", {"Menu\\Again.lnk"}, {}, {}},
        {"shell,%Dest%\\Plain,%Dest%\\app.exe,,,7", {"Plain.lnk"}, {}, {}},
        {"i,%Dest%\\Web\\Site,http://localhost/", {"Web\\Site.url"}, {"Web"}, {}},
        {"w,%Dest%\\Web\\Same,http://localhost/", {"Web\\Same.url"}, {}, {}},
        {"x,%Dest%\\Other\\Thing,target", {}, {"Other"}, {"Unknown link type:x"}},
        {"S,%Dest%\\Upper,target", {}, {}, {"Unknown link type:S"}},
        {"s,,target", {}, {}, {"bad format Shortcut record:link path is empty"}},
        {"", {}, {}, {"bad format Shortcut record:link path is empty"}},
        {"s," + folder + "\\" + longName + "\\App,target",
         {},
         {},
         {"can't make dir for shortcut:" + folder + "\\" + longName,
          "can't save shortcut:" + folder + "\\" + longName + "\\App.lnk"}},
    };
    ShortcutHandler handler(*context, log.get(), errors.get(), nullptr);
    std::size_t files = 1, folders = 0, messages = 0; // the log lists its own path first
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        std::string record = c.record;
        context->expandVariables(record);
        handler.apply(record);
        for (const std::string& file : c.files) {
            std::string path = folder + "\\" + file;
            EXPECT_TRUE(exists(path)) << path;
            ASSERT_LT(files, log->lines(InstallLog::AppFiles).size());
            EXPECT_EQ(log->lines(InstallLog::AppFiles)[files++], path);
        }
        for (const std::string& made : c.folders) {
            ASSERT_LT(folders, log->lines(InstallLog::AppFolders).size());
            EXPECT_EQ(log->lines(InstallLog::AppFolders)[folders++], folder + "\\" + made);
        }
        for (const std::string& message : c.errors) {
            ASSERT_LT(messages, errors->messages().size());
            EXPECT_EQ(errors->messages()[messages++], message);
        }
        EXPECT_EQ(log->lines(InstallLog::AppFiles).size(), files);
        EXPECT_EQ(log->lines(InstallLog::AppFolders).size(), folders);
        EXPECT_EQ(errors->messages().size(), messages);
    }
    EXPECT_FALSE(exists(folder + "\\Other\\Thing.lnk"));
    EXPECT_FALSE(exists(folder + "\\Upper.lnk"));
    EXPECT_EQ(readFile(folder + "\\Web\\Site.url"), readFile(folder + "\\Web\\Same.url"));
    EXPECT_NE(readFile(folder + "\\Web\\Site.url").find("URL=http://localhost/"), std::string::npos);
}

TEST_F(ShortcutTest, StatusLineAndCom)
{
    HWND status = CreateWindowA("STATIC", "before", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(status, nullptr);
    {
        ShortcutHandler handler(*context, log.get(), errors.get(), status);
        EXPECT_EQ(windowText(status), "Create shortcuts");
        // COM is usable on this thread while the handler lives.
        IUnknown* unknown = nullptr;
        const CLSID link = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
        EXPECT_EQ(
            CoCreateInstance(link, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
            S_OK);
        if (unknown != nullptr)
            unknown->Release();
    }
    EXPECT_EQ(windowText(status), "");
    DestroyWindow(status);
}

TEST(IniTest, EntriesWrittenAsRecordsSay)
{
    std::string folder = scratchFolder("ini");
    std::string file = folder + "\\product.ini";
    DeleteFileA(file.c_str());
    IniHandler handler(nullptr, nullptr);
    const struct {
        std::string record;
        const char* section;
        const char* key;
        const char* expected; // "<none>" when the key must be absent
    } cases[] = {
        {file + ",Main,Name,First", "Main", "Name", "First"},
        {file + ",Main,Other,Kept", "Main", "Other", "Kept"},
        {file + ",Main,Name,Second,ignored", "Main", "Name", "Second"},
        {file + ",Main,Name", "Main", "Name", ""},
        {file + ",Main", "Main", "Other", "Kept"},
        {",Main,Name,Lost", "Main", "Name", ""},
        {"", "Main", "Other", "Kept"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        handler.apply(c.record);
        char value[64] = "";
        GetPrivateProfileStringA(c.section, c.key, "<none>", value, sizeof value, file.c_str());
        EXPECT_STREQ(value, c.expected);
    }
    char other[64] = "";
    GetPrivateProfileStringA("Main", "Other", "<none>", other, sizeof other, file.c_str());
    EXPECT_STREQ(other, "Kept");
}

const char wholeLog[] =
    "[COMMON]\r\nApplication_Name=Probe\r\nUninstall Probe\r\nRemove it?\r\n\r\n"
    "[SHAREDFILES]\r\nC:\\S\\s.dll\r\n[STDFILES]\r\n[APPFILES]\r\nC:\\P\\a.exe\r\nC:\\P\\setup.log\r\n"
    "[APPFOLDERS]\r\n[APPDIR]\r\nC:\\P\r\n[REGENTRY]\r\nHKLM,Software\\P\r\n[REGDLLS]\r\n"
    "[RUNAPPS]\r\nBeforeUninstall=C:\\P\\stop.exe,-q\r\n";

TEST(RemovalLogTest, ReadsAWholeLog)
{
    RemovalLog log;
    std::string problem;
    ASSERT_TRUE(log.parse(wholeLog, problem)) << problem;
    EXPECT_EQ(log.productName(), "Probe");
    EXPECT_EQ(log.dialogLine(0), "Uninstall Probe");
    EXPECT_EQ(log.dialogLine(1), "Remove it?");
    EXPECT_EQ(log.dialogLine(2), "");
    EXPECT_EQ(log.dialogLine(12), "");
    EXPECT_EQ(log.lines(RemovalLog::AppFiles), (std::vector<std::string>{"C:\\P\\a.exe", "C:\\P\\setup.log"}));
    EXPECT_EQ(log.lines(RemovalLog::SharedFiles), std::vector<std::string>{"C:\\S\\s.dll"});
    EXPECT_TRUE(log.lines(RemovalLog::StdFiles).empty());
    EXPECT_EQ(log.lines(RemovalLog::RegEntry), std::vector<std::string>{"HKLM,Software\\P"});
    EXPECT_EQ(log.beforeUninstall(), "C:\\P\\stop.exe,-q");
}

TEST(RemovalLogTest, RefusesLogsThatAreNotWhole)
{
    std::string whole = wholeLog;
    std::string unknown = whole;
    unknown.insert(unknown.find("[APPFOLDERS]"), "[EXTRA]\r\nC:\\Windows\\win.ini\r\n");
    const struct {
        std::string text;
        bool accepted;
    } cases[] = {
        {whole, true},
        {unknown, true},
        {whole.substr(0, whole.size() - 2), false},                   // last line without its end
        {whole.substr(0, whole.find("C:\\P\\setup.log") + 6), false}, // cut inside APPFILES
        {whole.substr(0, whole.find("[REGDLLS]")), false},            // the last headers are missing
        {"", false},
        {"C:\\P\\a.exe\r\n" + whole, false},
        {std::string(whole).replace(whole.find("[STDFILES]"), 10, "[APPDIR]"), false},
        {std::string(whole).replace(whole.find("Application_Name"), 16, "Product"), false},
        {std::string(whole).replace(whole.find("a.exe"), 1, std::string(1, '\0')), false},
        {std::string(4096, '\xff') + "\r\n", false},
    };
    for (const auto& c : cases) {
        RemovalLog log;
        std::string problem;
        EXPECT_EQ(log.parse(c.text, problem), c.accepted) << c.text.substr(0, 80) << ": " << problem;
        EXPECT_EQ(problem.empty(), c.accepted);
        if (c.text == unknown) {
            EXPECT_EQ(log.unknownSections(), std::vector<std::string>{"EXTRA"});
            EXPECT_EQ(log.lines(RemovalLog::AppFiles).size(), 2u);
        }
    }
}

TEST(RemovalLogTest, OnlyPathsThatNameAPlaceByThemselves)
{
    const struct {
        const char* path;
        bool absolute;
    } cases[] = {
        {"C:\\P\\a.exe", true}, {"c:\\", true},   {"\\\\server\\share\\a", true},
        {"C:a.exe", false},     {"a.exe", false}, {"\\a.exe", false},
        {"..\\a.exe", false},   {"1:\\a", false}, {"", false},
        {"\\\\\\a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isAbsolutePath(c.path), c.absolute) << c.path;
}

} // namespace
