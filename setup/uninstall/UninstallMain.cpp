// uninstall.exe: removes the product that the setup.log beside it describes.
//   uninstall        asks first, then tells what could not be removed
//   uninstall /S     asks and tells nothing; exit code 0 when everything went
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "SelfRemoval.h"
#include "Uninstaller.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int argc = __argc;
    char** argv = __argv;
    if (argc >= 2 && std::strcmp(argv[1], cleanupSwitch) == 0)
        return finishSelfRemoval(argc - 2, argv + 2);

    bool silent = false;
    for (int n = 1; n < argc; ++n) {
        if (lstrcmpiA(argv[n], "/S") == 0)
            silent = true;
    }
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program)
        return Uninstaller::NoLog;
    std::string path(program, length);
    std::string folder = path.substr(0, path.rfind('\\'));
    try {
        return Uninstaller(folder, path, silent).run();
    } catch (...) {
        if (!silent)
            MessageBoxA(nullptr, "The removal stopped because of an unexpected error.", "Uninstall",
                        MB_OK | MB_ICONERROR);
        return Uninstaller::PartlyRemoved;
    }
}
