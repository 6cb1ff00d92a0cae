// Test helper: builds the SetupContext of the folder it lies in and prints the variables
// named on its command line as NAME=value lines, or the failure it met.
//   setup_context_probe [--set NAME sz|dword|binary|multi DATA | --delete NAME]... VARIABLE...
// --set and --delete change values of HKLM\Software\Microsoft\Windows\CurrentVersion first,
// so that one process both prepares the registry and reads it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SetupContext.h"
#include "SetupExceptions.h"

namespace {

const char currentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";

bool changeValue(const char* name, const char* type, const char* data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, currentVersion, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    LONG result;
    if (type == nullptr) {
        result = RegDeleteValueA(key, name);
    } else if (std::strcmp(type, "dword") == 0) {
        DWORD number = static_cast<DWORD>(std::strtoul(data, nullptr, 10));
        result = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    } else if (std::strcmp(type, "multi") == 0) {
        std::string list = std::string(data) + '\0' + data + '\0';
        result = RegSetValueExA(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list.data()),
                                static_cast<DWORD>(list.size() + 1));
    } else {
        DWORD kind = std::strcmp(type, "binary") == 0 ? REG_BINARY : REG_SZ;
        result = RegSetValueExA(key, name, 0, kind, reinterpret_cast<const BYTE*>(data),
                                static_cast<DWORD>(std::strlen(data) + 1));
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS || (type == nullptr && result == ERROR_FILE_NOT_FOUND);
}

} // namespace

int main(int argc, char** argv)
{
    int i = 1;
    for (; i < argc; ++i) {
        bool changed;
        if (std::strcmp(argv[i], "--set") == 0 && i + 3 < argc) {
            changed = changeValue(argv[i + 1], argv[i + 2], argv[i + 3]);
            i += 3;
        } else if (std::strcmp(argv[i], "--delete") == 0 && i + 1 < argc) {
            changed = changeValue(argv[i + 1], nullptr, nullptr);
            i += 1;
        } else {
            break;
        }
        if (!changed) {
            std::printf("registry-change-failed=%s\n", argv[i]);
            return 1;
        }
    }
    try {
        SetupContext context;
        WindowsVersion version = WindowsVersion::query();
        std::printf("version=%lu.%lu.%lu\n", static_cast<unsigned long>(version.platformId),
                    static_cast<unsigned long>(version.major), static_cast<unsigned long>(version.minor));
        for (; i < argc; ++i)
            std::printf("%s=%s\n", argv[i], context.getVariable(argv[i], true).c_str());
    } catch (const FileException& e) {
        std::printf("file-exception=%s|%ld\n", e.fileName.c_str(), static_cast<long>(e.kind));
        return 1;
    } catch (const WinException& e) {
        std::printf("win-exception=%s|%lu\n", e.text, static_cast<unsigned long>(e.code));
        return 1;
    }
    return 0;
}
