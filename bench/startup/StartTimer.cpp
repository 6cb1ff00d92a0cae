// StartTimer: starts a program and measures, from its creation, either the time until it
// has ended or the time until its first visible dialog window is on screen (then ends it).
//   StartTimer exit|window PROGRAM [ARGUMENT...]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam)
{
    Search& search = *reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char className[64] = {};
    if (owner == search.process && IsWindowVisible(hwnd) && GetClassNameA(hwnd, className, sizeof(className)) &&
        std::strcmp(className, "#32770") == 0) {
        search.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& frequency)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || (std::strcmp(argv[1], "exit") != 0 && std::strcmp(argv[1], "window") != 0)) {
        std::fprintf(stderr, "usage: StartTimer exit|window PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const bool window = std::strcmp(argv[1], "window") == 0;
    std::string commandLine = std::string("\"") + argv[2] + "\"";
    for (int i = 3; i < argc; ++i)
        commandLine += std::string(" ") + argv[i];
    // The program runs in its own folder, where setup.exe expects its script and package.
    std::string folder = argv[2];
    std::size_t slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);

    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s (%lu)\n", argv[2], GetLastError());
        return 3;
    }
    int result = 0;
    if (!window) {
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
            result = 4;
        std::printf("%.1f ms until the end\n", Milliseconds(start, frequency));
    } else {
        Search search = {process.dwProcessId, nullptr};
        // Polled every millisecond for at most a minute.
        for (int tick = 0; tick < 60000 && search.found == nullptr; ++tick) {
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
            if (search.found == nullptr) {
                if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
                    break;
            }
        }
        double elapsed = Milliseconds(start, frequency);
        if (search.found == nullptr) {
            std::printf("no dialog window after %.1f ms\n", elapsed);
            result = 5;
        } else {
            char title[256] = {};
            GetWindowTextA(search.found, title, sizeof(title));
            std::printf("%.1f ms until the first page \"%s\"\n", elapsed, title);
        }
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 10000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}
