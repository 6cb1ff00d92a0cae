// The registry profile functions against the real registry of the Wine prefix.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <shlwapi.h>

#include "App.h"

namespace {

class Profile : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.SetRegistryKey("VelmoraTest");
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\VelmoraTest");
    }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\VelmoraTest"); }

    // Reads a value straight from the registry, not through the application object.
    static bool ReadRaw(const char* section, const char* entry, DWORD& type, std::string& data)
    {
        std::string path = std::string("Software\\VelmoraTest\\ProfileApp\\") + section;
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        char buffer[512];
        DWORD size = sizeof(buffer);
        LONG result = RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS)
            return false;
        data.assign(buffer, size);
        return true;
    }

    static void WriteRaw(const char* section, const char* entry, DWORD type, const void* data, DWORD size)
    {
        std::string path = std::string("Software\\VelmoraTest\\ProfileApp\\") + section;
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, entry, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

    CWinApp app{"ProfileApp"};
};

TEST_F(Profile, MissingValuesGiveTheDefaultAndWriteNothing)
{
    EXPECT_STREQ(app.GetProfileString("Host", "Dialup_Connection", "Ringwell"), "Ringwell");
    EXPECT_EQ(app.GetProfileInt("Host", "Listening_Port", 1020), 1020u);
    DWORD type;
    std::string data;
    EXPECT_FALSE(ReadRaw("Host", "Dialup_Connection", type, data));
    EXPECT_FALSE(ReadRaw("Host", "Listening_Port", type, data));
}

TEST_F(Profile, WritesAreInTheRegistryAtOnce)
{
    ASSERT_TRUE(app.WriteProfileString("User", "Username", "alice"));
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(ReadRaw("User", "Username", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(data.c_str(), "alice");
    EXPECT_STREQ(app.GetProfileString("User", "Username", "Username"), "alice");

    ASSERT_TRUE(app.WriteProfileInt("Host", "Listening_Port", 4711));
    ASSERT_TRUE(ReadRaw("Host", "Listening_Port", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(data.size(), 4u);
    DWORD stored;
    memcpy(&stored, data.data(), 4);
    EXPECT_EQ(stored, 4711u);
    EXPECT_EQ(app.GetProfileInt("Host", "Listening_Port", 1020), 4711u);
}

TEST_F(Profile, EmptyStringIsAValueNotADefault)
{
    ASSERT_TRUE(app.WriteProfileString("Host", "Dialup_Connection", ""));
    EXPECT_STREQ(app.GetProfileString("Host", "Dialup_Connection", "Ringwell"), "");
}

TEST_F(Profile, ValuesOfTheWrongTypeGiveTheDefault)
{
    const char text[] = "1234";
    WriteRaw("Host", "Listening_Port", REG_SZ, text, sizeof(text));
    EXPECT_EQ(app.GetProfileInt("Host", "Listening_Port", 1020), 1020u);
    DWORD number = 5;
    WriteRaw("Host", "Dialup_Connection", REG_DWORD, &number, sizeof(number));
    EXPECT_STREQ(app.GetProfileString("Host", "Dialup_Connection", "Ringwell"), "Ringwell");
}

TEST_F(Profile, StringStoredWithoutTerminatorIsReadWhole)
{
    const char text[3] = {'a', 'b', 'c'};
    WriteRaw("User", "Password", REG_SZ, text, sizeof(text));
    EXPECT_STREQ(app.GetProfileString("User", "Password", "Kelmabot"), "abc");
}

TEST_F(Profile, NegativeNumbersRoundTripAsTheirBits)
{
    ASSERT_TRUE(app.WriteProfileInt("Host", "Listening_Port", -1));
    EXPECT_EQ(app.GetProfileInt("Host", "Listening_Port", 1020), 0xFFFFFFFFu);
}

} // namespace
