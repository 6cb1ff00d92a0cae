// FileHandler, FolderHandler and SharedFileHandler on real files, versions, times and counts.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ActionTestFiles.h"
#include "FileHandler.h"
#include "FolderHandler.h"
#include "InstallLog.h"
#include "SharedFileHandler.h"

using namespace actiontest;

namespace {

const char sharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The packaged libraries' entry time, 2002-02-02 02:02:02 local, as UTC.
const std::uint64_t packagedTime = utcTime(2002, 2, 2, 2, 2, 2) - zoneOffset;
const std::uint64_t oneDay = 24ull * 3600 * 10000000ull;

class FileHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(MAX_PATH, m_previous);
        m_package = freshFolder("package");
        ASSERT_TRUE(CopyFileA(dataPath("python.zip").c_str(), (m_package + "\\setup.zip").c_str(), FALSE));
        ASSERT_TRUE(SetCurrentDirectoryA(m_package.c_str()));
        m_files = std::make_unique<FileHandler>(&log, nullptr);
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, sharedDlls, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
    void TearDown() override
    {
        m_files.reset();
        SetCurrentDirectoryA(m_previous);
    }

    FileHandler& files() { return *m_files; }

    InstallLog log{"C:\\P", "setup.log", false};

private:
    char m_previous[MAX_PATH] = {};
    std::string m_package;
    std::unique_ptr<FileHandler> m_files;
};

std::vector<std::string> temporaryFiles()
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + "tmp*.tmp").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            names.push_back(found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
}

enum Age { Older = -1, Same = 0, Newer = 1 };

struct RuleCase {
    const char* installed; // source of the installed file
    Age installedAge;      // its last-write time against the packaged one
    const char* packaged;  // entry in the package
    int rule;
    bool replaced;
};

TEST_F(FileHandlerTest, ReplaceRulesByVersionAndTime)
{
    const RuleCase cases[] = {
        // Rule 0 always replaces.
        {"v2000.dll", Newer, "v1000.dll", 0, true},
        // Rule 1: packaged version greater or equal; rule 2: greater. Versions compare as
        // (high, low), high first.
        {"v1000.dll", Newer, "v1000.dll", 1, true},
        {"v1000.dll", Newer, "v1000.dll", 2, false},
        {"v1000.dll", Newer, "v2000.dll", 1, true},
        {"v1000.dll", Newer, "v2000.dll", 2, true},
        {"v2000.dll", Older, "v1000.dll", 1, false},
        {"v2000.dll", Older, "v1000.dll", 2, false},
        {"v1000.dll", Newer, "v1005.dll", 2, true},
        {"v1005.dll", Older, "v1000.dll", 1, false},
        {"v1005.dll", Older, "v1100.dll", 2, true},  // higher high half, lower low half
        {"v1100.dll", Older, "v1005.dll", 1, false}, // lower high half, higher low half
        {"noversion.txt", Older, "v1000.dll", 1, false},
        {"v1000.dll", Older, "noversion.txt", 2, false},
        // Rule 3: packaged time later or equal; rule 4: later.
        {"v2000.dll", Older, "v1000.dll", 3, true},
        {"v2000.dll", Same, "v1000.dll", 3, true},
        {"v2000.dll", Newer, "v1000.dll", 3, false},
        {"v2000.dll", Older, "v1000.dll", 4, true},
        {"v2000.dll", Same, "v1000.dll", 4, false},
        {"noversion.txt", Older, "noversion.txt", 4, true},
        // Rule 5: rule 1, or else rule 3; rule 6: rule 2, or else rule 4.
        {"v1000.dll", Newer, "v2000.dll", 5, true},  // higher version though older
        {"v2000.dll", Older, "v1000.dll", 5, true},  // lower version, but later
        {"v2000.dll", Newer, "v1000.dll", 5, false}, // lower and older
        {"noversion.txt", Same, "v1000.dll", 5, true},
        {"noversion.txt", Newer, "v1000.dll", 5, false},
        {"v1000.dll", Same, "v1000.dll", 6, false},
        {"v1000.dll", Older, "v1000.dll", 6, true},
        {"v1000.dll", Newer, "v1005.dll", 6, true},
        {"noversion.txt", Same, "noversion.txt", 6, false},
        // Other rules keep what is there, and the record still counts as installed.
        {"v1000.dll", Older, "v2000.dll", 7, false},
        {"v1000.dll", Older, "v2000.dll", -1, false},
    };
    std::string folder = freshFolder("rules");
    std::vector<std::string> temporary = temporaryFiles();
    int n = 0;
    for (const RuleCase& c : cases) {
        std::string target = folder + "\\case" + std::to_string(n++) + "\\lib.dll";
        SCOPED_TRACE(std::string(c.installed) + " against " + c.packaged + ", rule " + std::to_string(c.rule));
        CreateDirectoryA(target.substr(0, target.rfind('\\')).c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(dataPath(std::string("src\\") + c.installed).c_str(), target.c_str(), FALSE));
        ASSERT_TRUE(setWriteTime(target, packagedTime + static_cast<std::int64_t>(c.installedAge) * oneDay));
        files().apply("lib," + std::string(c.packaged) + "," + target + ",0," + std::to_string(c.rule));
        std::string expected = c.replaced ? c.packaged : c.installed;
        EXPECT_EQ(readFile(target), readFile(dataPath("src\\" + expected)));
        ASSERT_FALSE(log.lines(InstallLog::AppFiles).empty());
        EXPECT_EQ(log.lines(InstallLog::AppFiles).back(), target);
    }
    EXPECT_EQ(temporaryFiles(), temporary); // every comparison copy is gone again
    EXPECT_FALSE(files().rebootNeeded());
}

LONG sharedCount(const std::string& path, DWORD& count)
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, sharedDlls, 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD size = sizeof count;
    result = RegQueryValueExA(key, path.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
    RegCloseKey(key);
    return result;
}

TEST_F(FileHandlerTest, SharedFilesAreCountedAndRemovedWithTheLastUser)
{
    std::string folder = freshFolder("shared");
    std::string target = folder + "\\shared.dll";
    std::string quiet = folder + "\\quiet.dll";
    std::string uncounted = folder + "\\uncounted.dll";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, sharedDlls, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    for (const std::string& path : {target, quiet, uncounted})
        RegDeleteValueA(key, path.c_str());
    RegCloseKey(key);
    log.setListType(InstallLog::Shared);
    files().apply("s,v1000.dll," + target + ",4,1");
    DWORD count = 0;
    ASSERT_EQ(sharedCount(target, count), ERROR_SUCCESS);
    EXPECT_EQ(count, 1u);
    files().apply("s,v1000.dll," + target + ",4,1");
    ASSERT_EQ(sharedCount(target, count), ERROR_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(log.lines(InstallLog::SharedFiles), (std::vector<std::string>{target, target}));

    // Flags 12: counted, but not logged.
    files().apply("q,v1000.dll," + quiet + ",12,0");
    ASSERT_EQ(sharedCount(quiet, count), ERROR_SUCCESS);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(log.lines(InstallLog::SharedFiles).size(), 2u);
    EXPECT_TRUE(exists(quiet));

    SharedFileHandler shared(files());
    shared.undo(target);
    EXPECT_TRUE(exists(target));
    ASSERT_EQ(sharedCount(target, count), ERROR_SUCCESS);
    EXPECT_EQ(count, 1u);
    shared.undo(target);
    EXPECT_FALSE(exists(target));
    ASSERT_EQ(sharedCount(target, count), ERROR_SUCCESS); // the value stays, at 0
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(SharedFileHandler::decreaseCount(target), 0);

    // A file nobody counted stays.
    files().apply("u,v1000.dll," + uncounted + ",0,0");
    shared.undo(uncounted);
    EXPECT_TRUE(exists(uncounted));
    EXPECT_EQ(SharedFileHandler::decreaseCount(uncounted), -1);
}

TEST_F(FileHandlerTest, SelfRegistrationFlag)
{
    std::string folder = freshFolder("selfreg");
    struct {
        const char* entry;
        const char* name;
        int flags;
        bool registered;
        bool logged;
    } cases[] = {
        {"regmark.dll", "a.dll", 2, true, true},   {"regmark.dll", "b.dll", 10, true, false},
        {"v1000.dll", "c.dll", 2, false, false},   {"notes.txt", "d.dll", 2, false, false},
        {"regmark.dll", "e.dll", 1, false, false}, // 1 means nothing
    };
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        std::string target = folder + "\\" + c.name;
        files().apply("r," + std::string(c.entry) + "," + target + "," + std::to_string(c.flags));
        EXPECT_EQ(exists(target + ".registered"), c.registered) << c.name;
        if (c.logged)
            expected.push_back(target);
    }
    EXPECT_EQ(log.lines(InstallLog::RegDlls), expected);
}

TEST_F(FileHandlerTest, BadRecordsAreSkippedSilently)
{
    std::string folder = freshFolder("bad");
    std::string blocker = folder + "\\blocker";
    ASSERT_TRUE(writeFile(blocker, "a file where a folder should be"));
    std::string longFolder = folder + "\\" + std::string(200, 'f');
    auto pathOf = [&](std::size_t length) {
        std::string prefix = longFolder + "\\";
        return prefix + std::string(length - prefix.size() - 4, 'x') + ".txt";
    };
    struct {
        std::string record;
        std::string target; // what the record would install, if anything
        bool installed;
    } cases[] = {
        {"only,two", "", false},
        {"", "", false},
        {"x,readme.txt,no-backslash.txt", "no-backslash.txt", false},
        {"x,absent.txt," + folder + "\\absent.txt", folder + "\\absent.txt", false},
        {"x,bad-crc.txt," + folder + "\\crc.txt", folder + "\\crc.txt", false},
        {"x,readme.txt," + blocker + "\\sub\\r.txt", blocker + "\\sub\\r.txt", false},
        {"x,readme.txt," + folder + "\\flags.txt,abc,xyz", folder + "\\flags.txt", true},
        {"x,readme.txt," + folder + "\\three.txt", folder + "\\three.txt", true},
        {"x,readme.txt," + pathOf(259), pathOf(259), true},
        {"x,readme.txt," + pathOf(260), pathOf(260), false},
        {"x,readme.txt," + folder + "\\" + std::string(600, 'y'), folder + "\\" + std::string(600, 'y'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record.substr(0, 80));
        std::size_t before = log.lines(InstallLog::AppFiles).size();
        files().apply(c.record);
        std::size_t after = log.lines(InstallLog::AppFiles).size();
        EXPECT_EQ(after, before + (c.installed ? 1 : 0));
        if (c.installed) {
            EXPECT_EQ(log.lines(InstallLog::AppFiles).back(), c.target);
            EXPECT_EQ(readFile(c.target), readFile(dataPath("src\\readme.txt")));
        } else if (!c.target.empty() && c.target.find("crc") == std::string::npos) {
            EXPECT_FALSE(exists(c.target));
        }
    }
    EXPECT_FALSE(files().rebootNeeded());
}

TEST_F(FileHandlerTest, FoldersAreCreatedWithTheirParentsAndLoggedByListType)
{
    std::string folder = freshFolder("folders");
    FolderHandler folders(files());
    folders.apply(folder + "\\A\\B\\,ignored");
    EXPECT_EQ(log.lines(InstallLog::AppDir), (std::vector<std::string>{folder + "\\A", folder + "\\A\\B"}));
    log.setListType(InstallLog::System);
    folders.apply(folder + "\\A\\B\\C");
    folders.apply(folder + "\\A");
    EXPECT_EQ(log.lines(InstallLog::AppFolders), (std::vector<std::string>{folder + "\\A\\B\\C"}));

    // A file record logs only the folder of its own target, and only when it made it.
    log.setListType(InstallLog::Application);
    files().apply("x,readme.txt," + folder + "\\D\\E\\r.txt");
    EXPECT_EQ(log.lines(InstallLog::AppDir).back(), folder + "\\D\\E");
    EXPECT_EQ(log.lines(InstallLog::AppDir).size(), 3u);
    EXPECT_TRUE(exists(folder + "\\D\\E\\r.txt"));

    // Undo removes empty folders only.
    folders.undo(folder + "\\A\\B\\C");
    EXPECT_FALSE(exists(folder + "\\A\\B\\C"));
    folders.undo(folder + "\\D\\E");
    EXPECT_TRUE(exists(folder + "\\D\\E"));
    files().undo(folder + "\\D\\E\\r.txt");
    folders.undo(folder + "\\D\\E");
    EXPECT_FALSE(exists(folder + "\\D\\E"));
}

TEST(BackupName, NumberedNamesForFilesInUse)
{
    std::string folder = freshFolder("backup");
    struct {
        std::string target;
        std::string first;
    } cases[] = {
        {folder + "\\x.dll", folder + "\\x.001"},
        {folder + "\\dll.dll\\x.dll", folder + "\\dll.dll\\x.001"},
        {folder + "\\mydllhost.exe", folder + "\\my001host.exe"},
        {folder + "\\dlls\\app.exe", folder + "\\dlls\\app.001"},
        {folder + "\\README", folder + "\\README.001"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileReplacer::backupName(c.target), c.first) << c.target;
    ASSERT_TRUE(writeFile(folder + "\\x.001", "taken"));
    EXPECT_EQ(FileReplacer::backupName(folder + "\\x.dll"), folder + "\\x.002");
    EXPECT_EQ(FileReplacer::backupCandidate(folder + "\\x.dll", 998), folder + "\\x.998");
}

} // namespace
