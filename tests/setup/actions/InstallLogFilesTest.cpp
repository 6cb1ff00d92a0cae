// setup.log and error.log of a realistic set of records, byte for byte against files made by hand.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ActionTestFiles.h"
#include "ErrorLog.h"
#include "FileHandler.h"
#include "FileTypeHandler.h"
#include "FolderHandler.h"
#include "InstallLog.h"
#include "RegistryHandler.h"
#include "SetupContext.h"
#include "SetupExceptions.h"
#include "WindowsPlatform.h"

using namespace actiontest;

namespace {

// The running Windows, with Setup.ini and the language file taken from the test's own folder.
class ScriptFolderPlatform : public WindowsPlatform {
public:
    std::string programFolder() override { return std::string(TEST_SOURCE) + "\\logscript"; }
};

void deleteKey(HKEY root, const std::string& path)
{
    // Deepest first: RegDeleteKey removes keys without subkeys only.
    std::string key = path;
    for (;;) {
        RegDeleteKeyA(root, key.c_str());
        std::size_t slash = key.rfind('\\');
        if (slash == std::string::npos)
            break;
        key.erase(slash);
    }
}

void cleanRegistry()
{
    deleteKey(HKEY_CURRENT_USER, "Software\\TelvaneLogTest\\Settings");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TelvaneLog.File\\shell\\open\\command");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TelvaneLog.File\\shell\\open");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TelvaneLog.File\\shell");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TelvaneLog.File");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".tlvlog");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Telvane Log Test");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora\\Telvane Log Test\\1.0");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora\\Telvane Log Test");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora");
}

std::string readValue(HKEY root, const std::string& path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char data[512] = {};
    DWORD size = sizeof data - 1;
    LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(data) : "<no value>";
}

class InstallLogFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(MAX_PATH, m_previous);
        removeTree("C:\\TelvaneLog");
        cleanRegistry();
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
        m_package = freshFolder("logpackage");
        ASSERT_TRUE(CopyFileA(dataPath("python.zip").c_str(), (m_package + "\\setup.zip").c_str(), FALSE));
        ASSERT_TRUE(SetCurrentDirectoryA(m_package.c_str()));
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(m_previous);
        cleanRegistry();
    }

    ScriptFolderPlatform platform;

private:
    char m_previous[MAX_PATH] = {};
    std::string m_package;
};

// What the install sequence does with the lists of a small product.
void install(SetupContext& context, InstallLog& log, ErrorLog& errors)
{
    FileHandler files(&log, nullptr);
    FolderHandler folders(files);
    log.setListType(InstallLog::Application);
    folders.apply("C:\\TelvaneLog\\App\\Data\\Deep\\");
    files.apply("Readme,readme.txt,C:\\TelvaneLog\\App\\readme.txt,0,0");
    files.apply("Tool,bin/tool.dll,C:\\TelvaneLog\\App\\Bin\\tool.dll,2,0");
    files.apply("Quiet,notes.txt,C:\\TelvaneLog\\App\\quiet.txt,8,0");
    files.apply("Missing,absent.txt,C:\\TelvaneLog\\App\\absent.txt,0,0");
    log.setListType(InstallLog::Shared);
    folders.apply("C:\\TelvaneLog\\Shared");
    files.apply("Shared,v1000.dll,C:\\TelvaneLog\\Shared\\shared.dll,4,1");
    log.setListType(InstallLog::System);
    files.apply("System,v1005.dll,C:\\TelvaneLog\\System\\sys.dll,0,2");

    RegistryHandler registry(&log, &errors);
    registry.apply("key,HKCU,Software\\TelvaneLogTest\\Settings");
    registry.apply("value,HKCU,Software\\TelvaneLogTest\\Settings,Port,d,3fc");
    registry.apply("value,HKCU,Software\\TelvaneLogTest\\Missing,Name,s,x");
    registry.apply("key,HKXX,Software\\Nope");
    FileTypeHandler types(registry);
    types.apply(".tlvlog,TelvaneLog.File,Telvane log,C:\\TelvaneLog\\App\\readme.txt,,");

    registry.setMode(RegistryHandler::LogEveryKey);
    std::string uninstall = "key,HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%ProductName%";
    context.expandVariables(uninstall);
    registry.apply(uninstall);
    registry.writeUserData(context);
    registry.setMode(RegistryHandler::LogCreatedKeys);
}

TEST_F(InstallLogFilesTest, SetupLogAndErrorLogByteForByte)
{
    SetupContext context(platform);
    InstallLog* log = context.openInstallLog(false);
    {
        ErrorLog errors(context.appDir() + "\\error.log", log);
        install(context, *log, errors);
        EXPECT_FALSE(exists("C:\\TelvaneLog\\App\\error.log")); // written at the end, not on the way
        errors.write();
    }
    EXPECT_FALSE(exists("C:\\TelvaneLog\\App\\setup.log"));
    context.writeInstallLog();
    EXPECT_EQ(readFile("C:\\TelvaneLog\\App\\setup.log"), readFile(std::string(TEST_SOURCE) + "\\expected\\setup.log"));
    EXPECT_EQ(readFile("C:\\TelvaneLog\\App\\error.log"), readFile(std::string(TEST_SOURCE) + "\\expected\\error.log"));

    std::string userData = "SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora\\Telvane Log Test\\1.0";
    EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, userData, "AppDir"), "C:\\TelvaneLog\\App");
    EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, userData, "AppShortcutFolder"), "Telvane Log");
    EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, userData, "InstallerVersion"), "1.4.7");
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder = module;
    EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, userData, "InstallSource"), folder.substr(0, folder.rfind('\\')));
    EXPECT_TRUE(exists("C:\\TelvaneLog\\App\\Bin\\tool.dll.registered"));
}

TEST_F(InstallLogFilesTest, ImitationWritesNothingAndLeavesAnEarlierLogAlone)
{
    CreateDirectoryA("C:\\TelvaneLog", nullptr);
    CreateDirectoryA("C:\\TelvaneLog\\App", nullptr);
    ASSERT_TRUE(writeFile("C:\\TelvaneLog\\App\\setup.log", "earlier installation\r\n"));
    ASSERT_TRUE(writeFile("C:\\TelvaneLog\\App\\error.log", "earlier errors\r\n"));
    SetupContext context(platform);
    InstallLog* log = context.openInstallLog(true);
    {
        ErrorLog errors(context.appDir() + "\\error.log", log);
        errors.write();
    }
    context.writeInstallLog();
    EXPECT_EQ(readFile("C:\\TelvaneLog\\App\\setup.log"), "earlier installation\r\n");
    EXPECT_EQ(readFile("C:\\TelvaneLog\\App\\error.log"), "earlier errors\r\n");
}

TEST_F(InstallLogFilesTest, UnwritableLogsThrowTheDiskIsFull)
{
    CreateDirectoryA("C:\\TelvaneLog", nullptr);
    CreateDirectoryA("C:\\TelvaneLog\\App", nullptr);
    // Under Wine, running as root, a read-only file can still be written: a folder of the same
    // name is what cannot be.
    ASSERT_TRUE(CreateDirectoryA("C:\\TelvaneLog\\App\\setup.log", nullptr));
    SetupContext context(platform);
    context.openInstallLog(false);
    try {
        context.writeInstallLog();
        ADD_FAILURE() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName, "C:\\TelvaneLog\\App\\setup.log");
        EXPECT_STREQ(fileErrorText(e.kind), "The disk is full");
    }
    EXPECT_EQ(GetFileAttributesA("C:\\TelvaneLog\\App\\setup.log") & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_NO_THROW(context.writeInstallLog()); // the log was let go: nothing is tried twice

    // error.log into a folder that does not exist, and an error log dropped by an exception.
    InstallLog log("C:\\TelvaneLog\\Nowhere", "setup.log", false);
    ErrorLog errors("C:\\TelvaneLog\\Nowhere\\error.log", &log);
    errors.add("one");
    try {
        errors.write();
        ADD_FAILURE() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName, "C:\\TelvaneLog\\Nowhere\\error.log");
        EXPECT_EQ(e.kind, FileDiskFull);
    }
    EXPECT_EQ(log.lines(InstallLog::AppFiles).size(), 1u); // only setup.log itself
    {
        ErrorLog dropped("C:\\TelvaneLog\\Nowhere\\error.log", &log);
        dropped.add("lost");
        // Its destructor runs while an exception is on its way, as when the sequence ends early.
        EXPECT_THROW(
            {
                ErrorLog inner("C:\\TelvaneLog\\Nowhere\\error.log", &log);
                inner.add("also lost");
                throw FileException("x", FileNotFound);
            },
            FileException);
    }
}

TEST_F(InstallLogFilesTest, ErrorLogOfAnEndedSequenceIsStillWritten)
{
    CreateDirectoryA("C:\\TelvaneLog", nullptr);
    InstallLog log("C:\\TelvaneLog", "setup.log", false);
    try {
        ErrorLog errors("C:\\TelvaneLog\\error.log", &log);
        errors.add("Invalid major key:HKXX");
        throw FileException("setup.zip", FileNotFound);
    } catch (const FileException&) {
    }
    EXPECT_EQ(readFile("C:\\TelvaneLog\\error.log"), "Invalid major key:HKXX\r\n");
    EXPECT_EQ(log.lines(InstallLog::AppFiles),
              (std::vector<std::string>{"C:\\TelvaneLog\\setup.log", "C:\\TelvaneLog\\error.log"}));
}

} // namespace
