// EmptyProgram: a Win32 program that ends at once; the baseline of the start-up benchmarks.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
