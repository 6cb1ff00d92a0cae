// WindowsPlatform: folders, registry values, files and version of the running Windows.
#include <windows.h>
#include <shlobj.h>

#include "RegistryHelper.h"
#include "SetupApp.h"
#include "WindowsPlatform.h"

namespace {

int csidlOf(ShellFolder folder)
{
    switch (folder) {
    case ShellFolder::Desktop:
        return CSIDL_DESKTOP;
    case ShellFolder::StartUp:
        return CSIDL_STARTUP;
    case ShellFolder::StartMenu:
        return CSIDL_STARTMENU;
    case ShellFolder::Programs:
        return CSIDL_PROGRAMS;
    case ShellFolder::CommonDesktop:
        return CSIDL_COMMON_DESKTOPDIRECTORY;
    case ShellFolder::CommonStartUp:
        return CSIDL_COMMON_STARTUP;
    case ShellFolder::CommonStartMenu:
        return CSIDL_COMMON_STARTMENU;
    case ShellFolder::CommonPrograms:
        return CSIDL_COMMON_PROGRAMS;
    }
    return CSIDL_DESKTOP;
}

std::string fromBuffer(const char* buffer, UINT length)
{
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(buffer, length);
}

} // namespace

WindowsPlatform& windowsPlatform()
{
    static WindowsPlatform platform;
    return platform;
}

std::string WindowsPlatform::programFolder()
{
    return moduleFolder();
}

SetupScript WindowsPlatform::openScript(const std::string& folder, const std::string& fileName)
{
    return SetupScript(folder, fileName);
}

WindowsVersion WindowsPlatform::windowsVersion()
{
    return WindowsVersion::query();
}

std::string WindowsPlatform::windowsDirectory()
{
    char buffer[MAX_PATH];
    return fromBuffer(buffer, GetWindowsDirectoryA(buffer, MAX_PATH));
}

std::string WindowsPlatform::systemDirectory()
{
    char buffer[MAX_PATH];
    return fromBuffer(buffer, GetSystemDirectoryA(buffer, MAX_PATH));
}

std::string WindowsPlatform::tempDirectory()
{
    char buffer[MAX_PATH];
    return fromBuffer(buffer, GetTempPathA(MAX_PATH, buffer));
}

std::string WindowsPlatform::shellFolder(ShellFolder folder)
{
    // A folder the shell cannot name stays empty; a script that uses it gets no path.
    LPITEMIDLIST item = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidlOf(folder), &item)) || item == nullptr)
        return std::string();
    char buffer[MAX_PATH] = {};
    bool named = SHGetPathFromIDListA(item, buffer) != FALSE;
    // The folders are read before COM is initialised: the shell's own allocator frees the
    // list there, also on the Windows 95 shell, where CoTaskMemFree would not be the right one.
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
        allocator->Free(item);
        allocator->Release();
    }
    return named ? std::string(buffer) : std::string();
}

bool WindowsPlatform::machineSoftwareString(const std::string& key, const std::string& valuePath, std::string& text)
{
    return RegistryHelper::getMachineSoftwareString(key, valuePath, text);
}

bool WindowsPlatform::commonFilesDir(std::string& text)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    // Taken as text whatever its type; the extra byte keeps a full buffer terminated.
    char data[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    LONG result = RegQueryValueExA(key, "CommonFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return false;
    text = data;
    return true;
}

bool WindowsPlatform::fileExists(const std::string& name)
{
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}
