// WindowsVersion: the running Windows as GetVersionEx reports it.
#pragma once

#include <cstdint>

struct WindowsVersion {
    // Queries the system; throws WinException "Couldn't check Windows version".
    static WindowsVersion query();

    std::uint32_t platformId = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;

    bool isNT() const { return platformId == 2; }
    bool is9x() const { return platformId == 1; }
    bool isWindows95() const { return is9x() && major == 4 && minor == 0; }
    bool isWindows98() const { return is9x() && major == 4 && minor == 10; }
    bool isWindowsME() const { return is9x() && major == 4 && minor == 90; }
    bool isWindowsNT4() const { return isNT() && major <= 4; }
    bool isWindows2000() const { return isNT() && major == 5 && minor == 0; }
    bool isWindowsXP() const { return isNT() && major == 5 && minor == 1; }
};
