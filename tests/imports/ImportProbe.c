/* A program that imports a call Windows 95 to XP lack: the import check must refuse it. */
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    return (int)(GetTickCount64() & 1);
}
