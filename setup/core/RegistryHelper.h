// RegistryHelper: reading one registry value addressed by a path text.
#pragma once

#include <windows.h>

#include <string>

class RegistryHelper {
public:
    // Root 1 HKEY_CLASSES_ROOT, 2 HKEY_CURRENT_USER, 3 HKEY_LOCAL_MACHINE; the value path is
    // key\value, a path without a backslash names a value of the root itself.
    static bool getString(int root, const std::string& valuePath, std::string& text);
    // HKEY_LOCAL_MACHINE\Software\<key>\<valuePath>.
    static bool getMachineSoftwareString(const std::string& key, const std::string& valuePath, std::string& text);
    static bool valueToText(DWORD type, const BYTE* data, DWORD size, std::string& text);

    // Key and value paths together hold at most this many characters.
    static const std::size_t maxPathLength = 259;
};
