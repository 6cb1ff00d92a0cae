// Test library that records its own registration: HKCU\Software\TelvaneRegProbe, value of its path.
#include <windows.h>

namespace {

HMODULE self = nullptr;
const char probeKey[] = "Software\\TelvaneRegProbe";

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        self = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer()
{
    char path[MAX_PATH];
    GetModuleFileNameA(self, path, sizeof path);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, probeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return E_FAIL;
    RegSetValueExA(key, "Registered", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), lstrlenA(path) + 1);
    RegCloseKey(key);
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, probeKey);
    return S_OK;
}
