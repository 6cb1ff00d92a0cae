// SharedFileHandler: the SharedDLLs use counts of shared and system files.
#include "SharedFileHandler.h"

#include <windows.h>

#include "FileHandler.h"

namespace {

const char sharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

} // namespace

void SharedFileHandler::increaseCount(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, sharedDllsKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    DWORD count = 0;
    DWORD type = 0;
    DWORD size = sizeof count;
    if (RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof count)
        count = 0;
    ++count;
    RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegCloseKey(key);
}

std::int32_t SharedFileHandler::decreaseCount(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, sharedDllsKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return -1;
    DWORD count = 0;
    DWORD type = 0;
    DWORD size = sizeof count;
    LONG result = RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&count), &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof count) {
        RegCloseKey(key);
        return -1;
    }
    if (count > 0) {
        --count;
        RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    }
    RegCloseKey(key);
    return static_cast<std::int32_t>(count);
}

void SharedFileHandler::undo(const std::string& logLine)
{
    // The file stays while another product still counts it, and when nobody counted it at all.
    if (decreaseCount(logLine) == 0)
        m_files.undo(logLine);
}
