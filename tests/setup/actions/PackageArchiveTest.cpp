// PackageArchive on packages made by Python's zipfile and Info-ZIP zip, and on broken ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ActionTestFiles.h"
#include "FileHandler.h"
#include "PackageArchive.h"
#include "SetupExceptions.h"
#include "unzip.h"

using namespace actiontest;

namespace {

TEST(PackageArchive, TestsRunInAZoneEastOfUtc)
{
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    ASSERT_EQ(zone.Bias, -330) << "TZ must be Asia/Kolkata for the local-time checks";
}

struct EntryCase {
    const char* package;
    const char* entry;
    const char* source;
    int year, month, day, hour, minute, second; // local time of the entry
};

TEST(PackageArchive, ExtractsStoredDeflatedAndEmptyEntriesWithTheirLocalTime)
{
    const EntryCase cases[] = {
        {"python.zip", "readme.txt", "readme.txt", 2001, 2, 3, 4, 5, 6},
        {"python.zip", "Stored.bin", "Stored.bin", 2010, 6, 7, 8, 9, 10},
        {"python.zip", "empty.txt", "empty.txt", 2005, 5, 5, 5, 5, 6},
        {"python.zip", "big.txt", "big.txt", 2007, 1, 2, 3, 4, 6},
        {"python.zip", "bin/tool.dll", "bin_tool.dll", 2002, 2, 2, 2, 2, 2},
        {"infozip.zip", "zreadme.txt", "zreadme.txt", 2006, 7, 8, 9, 10, 12},
        {"infozip.zip", "zdata.bin", "zdata.bin", 2008, 12, 31, 23, 59, 58},
        {"infozip.zip", "zempty.txt", "zempty.txt", 1999, 1, 1, 0, 0, 0},
        {"infozip.zip", "zbig.txt", "zbig.txt", 2011, 11, 11, 11, 11, 12},
    };
    std::string folder = freshFolder("extract");
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(std::string(c.package) + " " + c.entry);
        PackageArchive archive;
        ASSERT_TRUE(archive.open(dataPath(c.package)));
        std::string target = folder + "\\" + c.source;
        std::uint64_t before = utcTime(2020, 1, 1, 0, 0, 0);
        ASSERT_TRUE(archive.extractTo(c.entry, target));
        EXPECT_EQ(archive.status(), 0);
        EXPECT_EQ(readFile(target), readFile(dataPath("src\\" + std::string(c.source))));
        FileTimes times = fileTimes(target);
        std::uint64_t local = utcTime(c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(times.write, local - zoneOffset);
        EXPECT_EQ(times.creation, local - zoneOffset);
        // The last access is the file's own, from the writing, not the entry's.
        EXPECT_GT(times.access, before);
        DWORD attributes = GetFileAttributesA(target.c_str());
        EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY), 0u);
    }
}

TEST(PackageArchive, LocateFoldsOnlyAsciiLettersAndRefusesLongNames)
{
    PackageArchive archive;
    ASSERT_TRUE(archive.open(dataPath("python.zip")));
    struct {
        std::string name;
        bool found;
    } cases[] = {
        {"MixedCase.Txt", true},        {"mixedcase.txt", true},
        {"MIXEDCASE.TXT", true},        {"README.TXT", true},
        {"BIN/TOOL.DLL", true},         {"bin\\tool.dll", false},
        {"caf\xc3\xa9.txt", true},      {"CAF\xc3\xa9.TXT", true},
        {"caf\xc3\x89.txt", false}, // e-acute against E-acute: bytes outside a-z compare exactly
        {std::string(255, 'n'), true},  {std::string(255, 'N'), true},
        {std::string(256, 'm'), false}, // stored under exactly this name, still never found
        {"readme.tx", false},           {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(archive.locate(c.name), c.found) << c.name.substr(0, 40);
        EXPECT_EQ(archive.status() == 0, c.found);
    }
}

TEST(PackageArchive, ReadOnlyTargetIsReplacedAndLosesOnlyThatAttribute)
{
    std::string folder = freshFolder("readonly");
    std::string target = folder + "\\readme.txt";
    ASSERT_TRUE(writeFile(target, "old"));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    PackageArchive archive;
    ASSERT_TRUE(archive.open(dataPath("python.zip")));
    ASSERT_TRUE(archive.extractTo("readme.txt", target));
    EXPECT_EQ(readFile(target), readFile(dataPath("src\\readme.txt")));
    DWORD attributes = GetFileAttributesA(target.c_str());
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(PackageArchive, WrongChecksumFailsAlthoughTheFileIsWritten)
{
    std::string folder = freshFolder("crc");
    PackageArchive archive;
    ASSERT_TRUE(archive.open(dataPath("python.zip")));
    std::string target = folder + "\\bad-crc.txt";
    EXPECT_FALSE(archive.extractTo("bad-crc.txt", target));
    EXPECT_EQ(archive.status(), UNZ_CRCERROR);
    EXPECT_EQ(readFile(target), readFile(dataPath("src\\bad-crc.txt")));
}

TEST(PackageArchive, DamagedEntryMissingEntryAndUnwritableOutputFail)
{
    std::string folder = freshFolder("damaged");
    PackageArchive damaged;
    ASSERT_TRUE(damaged.open(dataPath("damaged.zip")));
    EXPECT_FALSE(damaged.extractTo("big.txt", folder + "\\big.txt"));
    EXPECT_LT(damaged.status(), 0);

    PackageArchive archive;
    ASSERT_TRUE(archive.open(dataPath("python.zip")));
    EXPECT_FALSE(archive.extractTo("absent.txt", folder + "\\absent.txt"));
    EXPECT_EQ(archive.status(), UNZ_END_OF_LIST_OF_FILE);
    EXPECT_FALSE(exists(folder + "\\absent.txt"));
    EXPECT_FALSE(archive.extractTo("readme.txt", folder + "\\no-such-folder\\readme.txt"));
    EXPECT_EQ(archive.status(), -1);
    // The archive stays usable after failures.
    EXPECT_TRUE(archive.extractTo("readme.txt", folder + "\\readme.txt"));
}

TEST(PackageArchive, BrokenOrMissingArchivesDoNotOpen)
{
    for (const char* name : {"truncated.zip", "notzip.zip", "missing.zip"}) {
        PackageArchive archive;
        EXPECT_FALSE(archive.open(dataPath(name))) << name;
        EXPECT_EQ(archive.status(), -1);
        EXPECT_FALSE(archive.isOpen());
        EXPECT_FALSE(archive.locate("readme.txt"));
    }
    // Opening again closes the archive in hand first.
    PackageArchive archive;
    ASSERT_TRUE(archive.open(dataPath("python.zip")));
    ASSERT_TRUE(archive.open(dataPath("infozip.zip")));
    EXPECT_FALSE(archive.locate("readme.txt"));
    EXPECT_TRUE(archive.locate("zreadme.txt"));
}

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

TEST(PackageArchive, ExtractToTempLeavesNothingBehindOnFailure)
{
    PackageArchive archive;
    ASSERT_TRUE(archive.open(dataPath("python.zip")));
    std::vector<std::string> before = temporaryFiles();
    EXPECT_FALSE(archive.extractToTemp("absent.txt"));
    EXPECT_FALSE(archive.extractToTemp("bad-crc.txt"));
    EXPECT_EQ(temporaryFiles(), before);

    std::optional<std::string> temp = archive.extractToTemp("Stored.bin");
    ASSERT_TRUE(temp);
    std::string name = temp->substr(temp->rfind('\\') + 1);
    EXPECT_EQ(name.substr(0, 3), "tmp");
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp"); // tmp, up to four hexadecimal digits, .tmp
    EXPECT_LE(name.size(), 11u);
    EXPECT_EQ(readFile(*temp), readFile(dataPath("src\\Stored.bin")));
    EXPECT_EQ(fileTimes(*temp).write, utcTime(2010, 6, 7, 8, 9, 10) - zoneOffset);
    DeleteFileA(temp->c_str());
}

TEST(PackageArchive, FileHandlerWithoutPackageThrowsFileNotFound)
{
    std::string folder = freshFolder("nopackage");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    try {
        FileHandler files(nullptr, nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName, "setup.zip");
        EXPECT_EQ(e.kind, FileNotFound);
    }
    // A truncated package counts as missing.
    ASSERT_TRUE(CopyFileA(dataPath("truncated.zip").c_str(), (folder + "\\setup.zip").c_str(), FALSE));
    EXPECT_THROW(FileHandler(nullptr, nullptr), FileException);
    SetCurrentDirectoryA(previous);
}

} // namespace
