// ProgramRunner: DllRegisterServer, CreateProcess or ShellExecuteEx, and free disk space.
#include "ProgramRunner.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

bool selfRegister(const std::string& path)
{
    // A file that is no module at all must not be given to LoadLibrary.
    HMODULE probe = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (reinterpret_cast<UINT_PTR>(probe) <= 32)
        return false;
    FreeLibrary(probe);
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr)
        return false;
    using RegisterServer = HRESULT(STDAPICALLTYPE*)();
    auto registerServer =
        reinterpret_cast<RegisterServer>(reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
    if (registerServer == nullptr) {
        FreeLibrary(library);
        return false;
    }
    registerServer();
    FreeLibrary(library);
    return true;
}

void runProgram(const ProgramRecord& program)
{
    std::string command = program.commandLine();
    if (program.startedDirectly()) {
        // CreateProcessA may write into the command line.
        std::vector<char> line(command.begin(), command.end());
        line.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(program.show);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return;
        if (program.noWait == 0)
            WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return;
    }
    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS;
    execute.lpFile = command.c_str();
    execute.nShow = program.show;
    if (!ShellExecuteExA(&execute) || execute.hProcess == nullptr)
        return;
    if (program.noWait == 0)
        WaitForSingleObject(execute.hProcess, INFINITE);
    // Closed also when not waited for: the handle is of no use to anybody after this.
    CloseHandle(execute.hProcess);
}

std::uint32_t freeDiskSpaceKB(const std::string& path)
{
    std::string root = path.size() >= 2 && path[1] == ':' ? path.substr(0, 1) + ":\\" : path;
    using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    // Windows 95 before OSR2 has no GetDiskFreeSpaceExA.
    auto freeSpaceEx =
        kernel == nullptr
            ? nullptr
            : reinterpret_cast<FreeSpaceEx>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
    std::uint64_t bytes = 0;
    if (freeSpaceEx != nullptr) {
        ULARGE_INTEGER available, total, free;
        if (freeSpaceEx(root.c_str(), &available, &total, &free))
            bytes = available.QuadPart;
    } else {
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
        if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
            return 0;
        bytes = std::uint64_t(sectorsPerCluster) * bytesPerSector * freeClusters;
    }
    // More than 4 TB free must not wrap round to a small number and fail a space check.
    std::uint64_t kb = bytes >> 10;
    return kb > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kb);
}
