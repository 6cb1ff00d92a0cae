// RestartSystem: the shutdown privilege where the system has privileges, then the restart.
#include "SystemRestart.h"

#include <winsock2.h>
#include <windows.h>

#include "Handles.h"

namespace {

void EnableShutdownPrivilege()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return; // Windows 95, 98 and ME have no privileges
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        return;
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

} // namespace

bool RestartSystem()
{
    EnableShutdownPrivilege();
    return ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0) != 0;
}
