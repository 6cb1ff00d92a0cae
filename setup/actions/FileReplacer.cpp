// FileReplacer: copying over installed files, and replacements left to the next restart.
#include "FileReplacer.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "WindowsVersion.h"

namespace {

const char renameHeader[] = "[Rename]\r\n";
const std::size_t renameHeaderLength = sizeof renameHeader - 1;

bool copyOver(const std::string& source, const std::string& target, DWORD& error)
{
    if (CopyFileA(source.c_str(), target.c_str(), FALSE))
        return true;
    error = GetLastError();
    return false;
}

} // namespace

bool FileReplacer::replace(const std::string& source, const std::string& target)
{
    m_sourceInUse = false;
    DWORD error = 0;
    if (copyOver(source, target, error))
        return true;
    // A file held open by a running program reports a sharing violation on the NT family;
    // it is the very case the restart replacement exists for.
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
        return false;
    DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesA(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (copyOver(source, target, error))
        return true;
    WindowsVersion version = WindowsVersion::query();
    if (version.isNT()) {
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
            return false;
        m_rebootNeeded = true;
        return replaceInUseNT(source, target);
    }
    if (version.is9x()) {
        m_rebootNeeded = true;
        m_sourceInUse = addWinInitRename(target, source);
        return m_sourceInUse;
    }
    return false;
}

bool FileReplacer::replaceInUseNT(const std::string& source, const std::string& target)
{
    std::string backup = backupName(target);
    if (MoveFileExA(target.c_str(), backup.c_str(), MOVEFILE_COPY_ALLOWED)) {
        if (CopyFileA(source.c_str(), target.c_str(), TRUE) &&
            MoveFileExA(backup.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            return true;
    }
    // Without REPLACE_EXISTING the move at the restart would fail on the target still there.
    m_sourceInUse =
        MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) != FALSE;
    return m_sourceInUse;
}

std::string FileReplacer::backupCandidate(const std::string& target, int n)
{
    char number[8];
    std::snprintf(number, sizeof number, "%03d", n);
    std::size_t nameStart = target.rfind('\\');
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    std::size_t dll = target.rfind("dll");
    if (dll != std::string::npos && dll >= nameStart)
        return target.substr(0, dll) + number + target.substr(dll + 3);
    std::size_t dot = target.rfind('.');
    if (dot != std::string::npos && dot >= nameStart)
        return target.substr(0, dot + 1) + number;
    return target + "." + number;
}

std::string FileReplacer::backupName(const std::string& target)
{
    for (int n = 1; n <= 998; ++n) {
        std::string candidate = backupCandidate(target, n);
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(candidate.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return candidate;
        FindClose(search);
    }
    return backupCandidate(target, 998);
}

bool FileReplacer::addWinInitRename(const std::string& target, const std::string& source)
{
    std::string line = target + "=" + source + "\r\n";
    char windows[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    std::string path = std::string(windows) + "\\WinInit.Ini";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, nullptr);
    DWORD mapSize = size + static_cast<DWORD>(line.size() + renameHeaderLength);
    bool done = false;
    DWORD newSize = 0;
    HANDLE mapping =
        size == INVALID_FILE_SIZE ? nullptr : CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, mapSize, nullptr);
    if (mapping != nullptr) {
        char* text = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, mapSize));
        if (text != nullptr) {
            // The mapped text has no terminating zero: the search stays inside the old size.
            std::size_t at = std::string::npos;
            for (std::size_t i = 0; i + renameHeaderLength <= size; ++i)
                if (std::memcmp(text + i, renameHeader, renameHeaderLength) == 0) {
                    at = i;
                    break;
                }
            std::size_t insert;
            if (at != std::string::npos) {
                insert = at + renameHeaderLength;
                std::memmove(text + insert + line.size(), text + insert, size - insert);
                newSize = size + static_cast<DWORD>(line.size());
            } else {
                std::memcpy(text + size, renameHeader, renameHeaderLength);
                insert = size + renameHeaderLength;
                newSize = mapSize;
            }
            std::memcpy(text + insert, line.data(), line.size());
            done = UnmapViewOfFile(text) != FALSE;
        }
        CloseHandle(mapping);
    }
    // The mapping made the file mapSize long; it ends where its text ends.
    if (mapping != nullptr) {
        SetFilePointer(file, static_cast<LONG>(done ? newSize : size), nullptr, FILE_BEGIN);
        SetEndOfFile(file);
    }
    CloseHandle(file);
    return done;
}
