// actions_probe: runs one file record or one disk-space query for the end-to-end tests.
//   actions_probe install PACKAGE_FOLDER RECORD   prints the log's files, REGDLLS and the reboot flag
//   actions_probe freespace PATH                  prints the free KB
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "FileHandler.h"
#include "InstallLog.h"
#include "ProgramRunner.h"
#include "SetupExceptions.h"

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "freespace") == 0) {
        std::printf("free|%lu\n", static_cast<unsigned long>(freeDiskSpaceKB(argv[2])));
        return 0;
    }
    if (argc < 4 || std::strcmp(argv[1], "install") != 0)
        return 2;
    if (!SetCurrentDirectoryA(argv[2]))
        return 3;
    try {
        InstallLog log("C:\\probe", "setup.log", false);
        FileHandler files(&log, nullptr);
        files.apply(argv[3]);
        for (const std::string& line : log.lines(InstallLog::AppFiles))
            std::printf("file|%s\n", line.c_str());
        std::printf("reboot|%d\n", files.rebootNeeded() ? 1 : 0);
    } catch (const FileException& e) {
        std::printf("file-exception|%s|%d\n", e.fileName.c_str(), static_cast<int>(e.kind));
    } catch (const WinException& e) {
        std::printf("win-exception|%s\n", e.text);
    }
    std::fflush(stdout);
    return 0;
}
