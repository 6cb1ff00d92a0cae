// Files, folders and times shared by the setup action tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace actiontest {

inline std::string dataPath(const std::string& name)
{
    return std::string(TEST_DATA) + "\\" + name;
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

inline bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Deletes a folder tree, clearing read-only attributes on the way.
inline void removeTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

// A fresh, empty folder on drive C: of the prefix.
inline std::string freshFolder(const std::string& name)
{
    CreateDirectoryA("C:\\actions-test", nullptr);
    std::string path = "C:\\actions-test\\" + name;
    removeTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

inline std::uint64_t utcTime(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME system = {};
    system.wYear = static_cast<WORD>(year);
    system.wMonth = static_cast<WORD>(month);
    system.wDay = static_cast<WORD>(day);
    system.wHour = static_cast<WORD>(hour);
    system.wMinute = static_cast<WORD>(minute);
    system.wSecond = static_cast<WORD>(second);
    FILETIME file;
    SystemTimeToFileTime(&system, &file);
    return (std::uint64_t(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

struct FileTimes {
    std::uint64_t creation = 0, access = 0, write = 0;
};

inline std::uint64_t toNumber(const FILETIME& time)
{
    return (std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

inline FILETIME toFileTime(std::uint64_t number)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(number);
    time.dwHighDateTime = static_cast<DWORD>(number >> 32);
    return time;
}

inline FileTimes fileTimes(const std::string& path)
{
    FileTimes times;
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return times;
    FILETIME creation, access, write;
    if (GetFileTime(file, &creation, &access, &write)) {
        times.creation = toNumber(creation);
        times.access = toNumber(access);
        times.write = toNumber(write);
    }
    CloseHandle(file);
    return times;
}

inline bool setWriteTime(const std::string& path, std::uint64_t when)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME time = toFileTime(when);
    bool done = SetFileTime(file, nullptr, nullptr, &time) != FALSE;
    CloseHandle(file);
    return done;
}

// The tests' zone is UTC+5:30 without summer time: local entry times are 5 h 30 min ahead.
const std::uint64_t zoneOffset = (5ull * 3600 + 30 * 60) * 10000000ull;

} // namespace actiontest
