// clientctl: posts a message to one window given by its handle, for tests that run several
// programs whose main windows share a window class.
//   clientctl command <hwnd> <command id>
//   clientctl message <hwnd> <msg> <wparam> <lparam>
// Exit code 0 when posted, 1 when the window is not there, 2 on a usage error.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    HWND target = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argv[2], nullptr, 0)));
    if (!IsWindow(target))
        return 1;
    if (std::strcmp(argv[1], "command") == 0 && argc == 4)
        return PostMessageA(target, WM_COMMAND, std::strtoul(argv[3], nullptr, 0), 0) ? 0 : 1;
    if (std::strcmp(argv[1], "message") == 0 && argc == 6)
        return PostMessageA(target, std::strtoul(argv[3], nullptr, 0), std::strtoul(argv[4], nullptr, 0),
                            std::strtol(argv[5], nullptr, 0))
                   ? 0
                   : 1;
    return 2;
}
