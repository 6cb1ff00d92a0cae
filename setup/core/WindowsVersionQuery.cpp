// WindowsVersion::query: GetVersionEx with the extended record, else the basic one.
#include <windows.h>

#include "SetupExceptions.h"
#include "WindowsVersion.h"

WindowsVersion WindowsVersion::query()
{
    OSVERSIONINFOEXA info = {};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    // Windows 95 and NT 4 before SP6 know only the basic record.
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)))
            throw WinException("Couldn't check Windows version");
    }
    WindowsVersion version;
    version.platformId = info.dwPlatformId;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    return version;
}
