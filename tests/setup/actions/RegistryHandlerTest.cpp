// RegistryHandler and FileTypeHandler against the registry of the Wine prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ErrorLog.h"
#include "FileTypeHandler.h"
#include "InstallLog.h"
#include "RegistryHandler.h"

namespace {

const char testRoot[] = "Software\\TelvaneRegistryTest";

void deleteTree(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char name[256];
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        deleteTree(root, path + "\\" + name);
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
}

bool keyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

struct Value {
    bool present = false;
    DWORD type = 0;
    std::vector<unsigned char> data;
};

Value readValue(HKEY root, const std::string& path, const char* name)
{
    Value value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    unsigned char data[1024];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &value.type, data, &size) == ERROR_SUCCESS) {
        value.present = true;
        value.data.assign(data, data + size);
    }
    RegCloseKey(key);
    return value;
}

std::vector<unsigned char> bytes(std::initializer_list<int> list)
{
    std::vector<unsigned char> result;
    for (int b : list)
        result.push_back(static_cast<unsigned char>(b));
    return result;
}

std::vector<unsigned char> text(const std::string& s)
{
    std::vector<unsigned char> result(s.begin(), s.end());
    result.push_back(0);
    return result;
}

class RegistryHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        deleteTree(HKEY_CURRENT_USER, testRoot);
        deleteTree(HKEY_CLASSES_ROOT, ".telvanetest");
        deleteTree(HKEY_CLASSES_ROOT, "Telvane.TestFile");
        deleteTree(HKEY_CLASSES_ROOT, ".telvaneicon");
        deleteTree(HKEY_CLASSES_ROOT, "Telvane.IconFile");
    }
    void TearDown() override { SetUp(); }

    InstallLog log{"C:\\P", "setup.log", false};
    ErrorLog errors{"C:\\P\\error.log", &log};
    RegistryHandler registry{&log, &errors};
};

TEST_F(RegistryHandlerTest, KeyRecordsLogWhatTheyCreateInModeOneAndEverythingInModeTwo)
{
    std::string path = std::string(testRoot) + "\\A\\B";
    registry.apply("key,HKCU," + path);
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, std::string(testRoot) + "\\A"));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, path));
    registry.apply("key,HKCU," + path);
    EXPECT_EQ(log.lines(InstallLog::RegEntry), std::vector<std::string>{"HKCU," + path});
    registry.setMode(RegistryHandler::LogEveryKey);
    registry.apply("key,HKCU," + path);
    EXPECT_EQ(log.lines(InstallLog::RegEntry), (std::vector<std::string>{"HKCU," + path, "HKCU," + path}));
    EXPECT_TRUE(errors.messages().empty());
}

TEST_F(RegistryHandlerTest, ValueRecordsOfEveryType)
{
    std::string key = std::string(testRoot) + "\\Values";
    registry.apply("key,HKCU," + key);
    struct {
        std::string record;
        const char* name;
        DWORD type;
        std::vector<unsigned char> data;
    } cases[] = {
        {"value,HKCU," + key + ",Small,d,ff", "Small", REG_DWORD, bytes({0xff, 0, 0, 0})},
        {"value,HKCU," + key + ",Upper,D,0x1234abcd", "Upper", REG_DWORD, bytes({0xcd, 0xab, 0x34, 0x12})},
        {"value,HKCU," + key + ",Huge,d,123456789ab", "Huge", REG_DWORD, bytes({0xff, 0xff, 0xff, 0xff})},
        {"value,HKCU," + key + ",Stops,dword,12zz", "Stops", REG_DWORD, bytes({0x12, 0, 0, 0})},
        {"value,HKCU," + key + ",Bytes,b,01 0a FF", "Bytes", REG_BINARY, bytes({0x01, 0x0a, 0xff})},
        {"value,HKCU," + key + ",Spaced,B,\t1ff  \r\n 7 ", "Spaced", REG_BINARY, bytes({0xff, 0x07})},
        {"value,HKCU," + key + ",Text,s,hello world", "Text", REG_SZ, text("hello world")},
        {"value,HKCU," + key + ",Cut,S,before,after", "Cut", REG_SZ, text("before")},
        {"value,HKCU," + key + ",(Default),s,the default", nullptr, REG_SZ, text("the default")},
    };
    for (const auto& c : cases) {
        registry.apply(c.record);
        Value value = readValue(HKEY_CURRENT_USER, key, c.name);
        ASSERT_TRUE(value.present) << c.record;
        EXPECT_EQ(value.type, c.type) << c.record;
        EXPECT_EQ(value.data, c.data) << c.record;
    }
    // Empty data or an empty type writes nothing and reports nothing.
    registry.apply("value,HKCU," + key + ",Nothing,s,");
    registry.apply("value,HKCU," + key + ",NoType,,data");
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER, key, "Nothing").present);
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER, key, "NoType").present);
    EXPECT_TRUE(errors.messages().empty());
    // Values are never logged.
    EXPECT_EQ(log.lines(InstallLog::RegEntry).size(), 1u);
}

TEST_F(RegistryHandlerTest, EveryErrorTextOnce)
{
    std::string missing = std::string(testRoot) + "\\Missing";
    registry.apply("key,HKXX,Software\\X");
    registry.apply("values,HKCU,Software\\X");
    registry.apply("value,HKCU," + missing + ",Name,s,data");
    registry.apply("key,HKCU,");
    std::string key = std::string(testRoot) + "\\Typed";
    registry.apply("key,HKCU," + key);
    registry.apply("value,HKCU," + key + ",Odd,q,data");
    registry.apply("");
    // Key names of more than 255 characters cannot be created.
    std::string tooLong = std::string(testRoot) + "\\" + std::string(300, 'k');
    registry.apply("key,HKCU," + tooLong);
    std::vector<std::string> expected = {
        "Invalid major key:HKXX",
        "Invalid record type(need key or value):values",
        "Cannot create value:key='" + missing + "' value name='Name' value type='s' value='data'",
        "Cannot create value:key='" + key + "' value name='Odd' value type='q' value='data'",
        "Invalid major key:",
        "Cannot create key:" + tooLong,
    };
    EXPECT_EQ(errors.messages(), expected);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, missing)); // a value record creates no key
}

TEST_F(RegistryHandlerTest, UndoDeletesTheLoggedKeyAndSkipsUnknownRoots)
{
    std::string path = std::string(testRoot) + "\\Gone";
    registry.apply("key,HKCU," + path);
    RegistryHandler remover;
    remover.undo("HKXX," + path);
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, path));
    remover.undo("HKCU," + path);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, path));
}

TEST_F(RegistryHandlerTest, FileTypesWriteThreeOrFourKeysAndNeverChangeAnExistingOne)
{
    FileTypeHandler types(registry);
    types.apply(".telvanetest,Telvane.TestFile,Telvane test file,C:\\P\\app.exe %1,,");
    EXPECT_EQ(readValue(HKEY_CLASSES_ROOT, ".telvanetest", nullptr).data, text("Telvane.TestFile"));
    EXPECT_EQ(readValue(HKEY_CLASSES_ROOT, "Telvane.TestFile", nullptr).data, text("Telvane test file"));
    EXPECT_EQ(readValue(HKEY_CLASSES_ROOT, "Telvane.TestFile\\shell\\open\\command", nullptr).data,
              text("C:\\P\\app.exe %1"));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "Telvane.TestFile\\DefaultIcon"));
    std::vector<std::string> three = {"HKCR,.telvanetest", "HKCR,Telvane.TestFile",
                                      "HKCR,Telvane.TestFile\\shell\\open\\command"};
    EXPECT_EQ(log.lines(InstallLog::RegEntry), three);

    // The extension is there now: a second record for it changes and logs nothing.
    types.apply(".telvanetest,Other.Class,Other,other.exe,other.ico,3");
    EXPECT_EQ(readValue(HKEY_CLASSES_ROOT, ".telvanetest", nullptr).data, text("Telvane.TestFile"));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "Other.Class"));
    EXPECT_EQ(log.lines(InstallLog::RegEntry), three);

    types.apply(".telvaneicon,Telvane.IconFile,Icons,app.exe,app.exe,1");
    EXPECT_EQ(readValue(HKEY_CLASSES_ROOT, "Telvane.IconFile\\DefaultIcon", nullptr).data, text("app.exe,1"));
    types.undo("HKCR,.telvaneicon");
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, ".telvaneicon")); // file types undo nothing themselves
    types.apply(".telvaneicon2,Telvane.IconFile,Icons,app.exe,app.ico,");
    EXPECT_EQ(readValue(HKEY_CLASSES_ROOT, "Telvane.IconFile\\DefaultIcon", nullptr).data, text("app.ico"));
    deleteTree(HKEY_CLASSES_ROOT, ".telvaneicon2");
    EXPECT_EQ(log.lines(InstallLog::RegEntry).size(), 3u + 4u + 4u);
    EXPECT_TRUE(errors.messages().empty()); // file types report nothing
}

} // namespace
