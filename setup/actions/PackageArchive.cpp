// PackageArchive: minizip's reader, the output file and the entry's time stamp.
#include "PackageArchive.h"

#include <windows.h>

#include <cstdio>

#include "PackageFileCache.h"
#include "unzip.h"

namespace {

unzFile reader(void* handle)
{
    return static_cast<unzFile>(handle);
}

// The entry's DOS date (high half) and time (low half), taken as local time, become the
// file's creation and last-write time; the last-access time stays as it is.
void stampFile(const std::string& path, unsigned long dosDateTime)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    FILETIME creation, access, write;
    if (GetFileTime(file, &creation, &access, &write)) {
        FILETIME local, utc;
        if (DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local) &&
            LocalFileTimeToFileTime(&local, &utc))
            SetFileTime(file, &utc, nullptr, &utc);
    }
    CloseHandle(file);
}

} // namespace

PackageArchive::~PackageArchive()
{
    close();
}

bool PackageArchive::open(const std::string& fileName)
{
    close();
    // unzOpen's own file access, through the read cache (see PackageFileCache.h).
    zlib_filefunc_def files;
    fillCachedFileFunctions(&files);
    m_reader = unzOpen2(fileName.c_str(), &files);
    if (m_reader == nullptr) {
        m_status = -1;
        return false;
    }
    m_buffer.reset(new char[bufferSize]);
    m_status = 0;
    return true;
}

void PackageArchive::close()
{
    if (m_reader != nullptr)
        unzClose(reader(m_reader));
    m_reader = nullptr;
    m_buffer.reset();
}

bool PackageArchive::locate(const std::string& entryName)
{
    if (m_reader == nullptr) {
        m_status = UNZ_PARAMERROR;
        return false;
    }
    m_status = unzLocateFile(reader(m_reader), entryName.c_str(), 0);
    return m_status == UNZ_OK;
}

bool PackageArchive::extractCurrent(const std::string& outputPath)
{
    if (m_reader == nullptr)
        return false;
    unz_file_info info;
    m_status = unzGetCurrentFileInfo(reader(m_reader), &info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (m_status != UNZ_OK)
        return false;
    std::FILE* output = std::fopen(outputPath.c_str(), "wb");
    if (output == nullptr)
        output = std::fopen(outputPath.c_str(), "wb");
    if (output == nullptr) {
        m_status = -1;
        return false;
    }
    m_status = unzOpenCurrentFile(reader(m_reader));
    if (m_status != UNZ_OK) {
        std::fclose(output);
        return false;
    }
    bool complete = false;
    for (;;) {
        int read = unzReadCurrentFile(reader(m_reader), m_buffer.get(), bufferSize);
        if (read < 0) {
            m_status = read;
            break;
        }
        if (read == 0) {
            complete = true;
            break;
        }
        if (std::fwrite(m_buffer.get(), 1, static_cast<std::size_t>(read), output) != static_cast<std::size_t>(read)) {
            m_status = -1;
            break;
        }
    }
    // A write that only fails when the buffered rest goes out is a failure too.
    if (std::fclose(output) != 0 && complete) {
        m_status = -1;
        complete = false;
    }
    if (complete)
        stampFile(outputPath, info.dosDate);
    int closed = unzCloseCurrentFile(reader(m_reader));
    if (!complete)
        return false;
    // A checksum mismatch shows only here, after the whole entry has been written.
    m_status = closed;
    return closed == UNZ_OK;
}

bool PackageArchive::extractTo(const std::string& entryName, const std::string& targetPath)
{
    DWORD attributes = GetFileAttributesA(targetPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesA(targetPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return locate(entryName) && extractCurrent(targetPath);
}

std::optional<std::string> PackageArchive::extractToTemp(const std::string& entryName)
{
    char folder[MAX_PATH] = {};
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return std::nullopt;
    char path[MAX_PATH] = {};
    if (GetTempFileNameA(folder, "tmp", 0, path) == 0)
        return std::nullopt;
    if (!extractTo(entryName, path)) {
        DeleteFileA(path);
        return std::nullopt;
    }
    return std::string(path);
}
