// SelfRemoval: a temporary copy of the uninstaller deletes the original once it has ended.
#include "SelfRemoval.h"

#include <windows.h>

#include <cstdlib>

#include "FileReplacer.h"

const char* const cleanupSwitch = "/cleanup";

namespace {

// How long the copy waits for the uninstaller to end, and then for its file to let go.
const DWORD exitWait = 30000;
const int deleteTries = 50;
const DWORD deletePause = 100;

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

bool onNtFamily()
{
    return (GetVersion() & 0x80000000u) == 0;
}

// The copy's own file goes at the next restart; nothing else can delete it earlier.
void removeAtRestart(const std::string& path)
{
    if (onNtFamily()) {
        MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        return;
    }
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    if (length > 0 && length < sizeof shortPath)
        FileReplacer::addWinInitRename("NUL", shortPath);
}

} // namespace

bool startSelfRemoval(const std::string& programPath, const std::vector<std::string>& folders)
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp)
        return false;
    std::string copy = std::string(temp) + "Uninstall-" + std::to_string(GetCurrentProcessId()) + ".exe";
    if (!CopyFileA(programPath.c_str(), copy.c_str(), FALSE))
        return false;

    std::string command =
        quoted(copy) + " " + cleanupSwitch + " " + std::to_string(GetCurrentProcessId()) + " " + quoted(programPath);
    for (const std::string& folder : folders)
        command += " " + quoted(folder);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // The copy must not keep a folder of the product open as its current folder.
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, temp, &startup, &process)) {
        DeleteFileA(copy.c_str());
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

int finishSelfRemoval(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    DWORD processId = std::strtoul(argv[0], nullptr, 10);
    HANDLE original = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (original != nullptr) {
        WaitForSingleObject(original, exitWait);
        CloseHandle(original);
    }
    const char* program = argv[1];
    bool deleted = false;
    for (int attempt = 0; attempt < deleteTries && !deleted; ++attempt) {
        deleted = DeleteFileA(program) || GetFileAttributesA(program) == INVALID_FILE_ATTRIBUTES;
        if (!deleted)
            Sleep(deletePause);
    }
    for (int n = 2; deleted && n < argc; ++n)
        RemoveDirectoryA(argv[n]);

    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length > 0 && length < sizeof self)
        removeAtRestart(self);
    return deleted ? 0 : 1;
}
