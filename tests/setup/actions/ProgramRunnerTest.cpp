// selfRegister, runProgram and freeDiskSpaceKB on real libraries, programs and drives.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ActionTestFiles.h"
#include "PackageArchive.h"
#include "ProgramRunner.h"

using namespace actiontest;

namespace {

std::string extract(const std::string& folder, const char* entry, const char* name)
{
    PackageArchive archive;
    EXPECT_TRUE(archive.open(dataPath("python.zip")));
    std::string target = folder + "\\" + name;
    EXPECT_TRUE(archive.extractTo(entry, target));
    return target;
}

TEST(SelfRegister, CallsDllRegisterServerOnlyWhereThereIsOne)
{
    std::string folder = freshFolder("register");
    std::string marked = extract(folder, "regmark.dll", "regmark.dll");
    EXPECT_TRUE(selfRegister(marked));
    EXPECT_TRUE(exists(marked + ".registered"));
    std::string plain = extract(folder, "v1000.dll", "plain.dll");
    EXPECT_FALSE(selfRegister(plain));
    std::string notes = extract(folder, "notes.txt", "notes.txt");
    EXPECT_FALSE(selfRegister(notes));
    EXPECT_FALSE(selfRegister(folder + "\\absent.dll"));
    // The library is free again: it can be deleted at once.
    EXPECT_TRUE(DeleteFileA(marked.c_str()));
}

// cmd.exe writes a file after a pause, so that waiting and not waiting show.
ProgramRecord slowWriter(const std::string& mark, int noWait)
{
    ProgramRecord program =
        ProgramRecord::parse("C:\\windows\\system32\\cmd.exe,/c ping -n 3 127.0.0.1 >nul & echo done>" + mark +
                             ",,0,0," + std::to_string(noWait));
    return program;
}

TEST(RunProgram, WaitsForTheProgramUnlessToldNotTo)
{
    std::string folder = freshFolder("run");
    std::string waited = folder + "\\waited.txt";
    runProgram(slowWriter(waited, 0));
    EXPECT_TRUE(exists(waited));

    std::string notWaited = folder + "\\notwaited.txt";
    DWORD start = GetTickCount();
    runProgram(slowWriter(notWaited, 1));
    EXPECT_FALSE(exists(notWaited)); // back before the program's pause is over
    for (int i = 0; i < 200 && !exists(notWaited); ++i)
        Sleep(100);
    EXPECT_TRUE(exists(notWaited));
    EXPECT_GE(GetTickCount() - start, 1000u);
}

TEST(RunProgram, ProgramsWithoutLowerCaseExeGoThroughTheShell)
{
    std::string folder = freshFolder("shell");
    // A batch file is no .exe: the shell starts it, and it is waited for like a program.
    std::string batch = folder + "\\write.bat";
    ASSERT_TRUE(writeFile(batch, "@echo shell>\"" + folder + "\\shell.txt\"\r\n"));
    runProgram(ProgramRecord::parse(batch));
    EXPECT_TRUE(exists(folder + "\\shell.txt"));
    // A program that is not there is no failure anybody hears of from the installer.
    runProgram(ProgramRecord::parse(folder + "\\absent.exe,-x"));
}

TEST(FreeDiskSpace, DriveLettersAndPathsWithoutDrive)
{
    ULARGE_INTEGER available, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &free));
    std::uint32_t kb = freeDiskSpaceKB("C:\\actions-test\\no\\such\\folder");
    std::uint64_t expected = available.QuadPart >> 10;
    // Other programs write to the same disk meanwhile: a few MB either way.
    EXPECT_NEAR(static_cast<double>(kb), static_cast<double>(expected > 0xFFFFFFFFu ? 0xFFFFFFFFu : expected), 65536.0);
    EXPECT_GT(kb, 0u);
    EXPECT_EQ(freeDiskSpaceKB("Q:\\nowhere"), 0u);
    EXPECT_EQ(freeDiskSpaceKB("no drive at all"), 0u);
}

} // namespace
