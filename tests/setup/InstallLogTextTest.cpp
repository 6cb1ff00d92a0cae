// The text of setup.log: one entry a line, whatever the entries hold.
#include <gtest/gtest.h>

#include <string>

#include "InstallLog.h"

namespace {

// An entry with a line break in it would put lines of its own making into setup.log, here a
// REGENTRY line the uninstaller would delete; found by fuzzing the log.
TEST(InstallLogText, EntryWithLineBreakIsNotKept)
{
    InstallLog log("C:\\Telvane", "setup.log", false);
    log.addEntry(InstallLog::File, "C:\\Telvane\\a.txt\r\n[REGENTRY]\r\nHKLM\\SOFTWARE", InstallLog::Application);
    log.addEntry(InstallLog::RegistryKey, "HKCU\\Software\\Velmora\nHKLM\\SOFTWARE", InstallLog::Application);
    log.addEntry(InstallLog::File, "C:\\Telvane\\b.txt", InstallLog::Application);
    EXPECT_EQ(log.text(), "[COMMON]\r\n"
                          "[SHAREDFILES]\r\n"
                          "[STDFILES]\r\n"
                          "[APPFILES]\r\n"
                          "C:\\Telvane\\b.txt\r\n"
                          "C:\\Telvane\\setup.log\r\n"
                          "[APPFOLDERS]\r\n"
                          "[APPDIR]\r\n"
                          "[REGENTRY]\r\n"
                          "[REGDLLS]\r\n"
                          "[RUNAPPS]\r\n");
}

// The uninstaller finds its dialog texts by line number, so a common line keeps its place.
TEST(InstallLogText, CommonLineKeepsItsPlaceWithoutTheBreak)
{
    InstallLog log("C:\\Telvane", "setup.log", false);
    log.addCommon("Telvane");
    log.addCommon("Remove\r\nall");
    log.addCommon("Yes");
    EXPECT_EQ(log.lines(InstallLog::Common), (std::vector<std::string>{"Telvane", "Remove  all", "Yes"}));
}

} // namespace
