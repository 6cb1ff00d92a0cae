/* A self-registering library: DllRegisterServer leaves "<library path>.registered" beside it. */
#include <windows.h>

static HINSTANCE module;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        module = instance;
    return TRUE;
}

HRESULT WINAPI DllRegisterServer(void)
{
    char path[MAX_PATH + 16];
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return E_FAIL;
    lstrcatA(path, ".registered");
    HANDLE mark = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (mark == INVALID_HANDLE_VALUE)
        return E_FAIL;
    CloseHandle(mark);
    return S_OK;
}
