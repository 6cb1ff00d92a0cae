// FileHandler: folders with their parents, one file record by its replace rule, and its flags.
#include "FileHandler.h"

#include "FileVersionInfo.h"
#include "InstallLog.h"
#include "ProgramRunner.h"
#include "RecordFields.h"
#include "SetupExceptions.h"
#include "SharedFileHandler.h"

namespace {

const std::size_t maxPathLength = 259;

unsigned long createOne(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) ? 0 : GetLastError();
}

bool readLastWriteTime(const std::string& path, ULARGE_INTEGER& time)
{
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME written;
    bool read = GetFileTime(file, nullptr, nullptr, &written) != FALSE;
    CloseHandle(file);
    time.LowPart = written.dwLowDateTime;
    time.HighPart = written.dwHighDateTime;
    return read;
}

bool fileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

bool packagedFileWins(const std::string& installed, const std::string& packaged, std::int32_t rule)
{
    if (rule == 1 || rule == 2 || rule == 5 || rule == 6) {
        FileVersionInfo old(installed);
        FileVersionInfo fresh(packaged);
        if (old.valid() && fresh.valid()) {
            std::uint64_t oldVersion = (std::uint64_t(old.fileVersionHigh()) << 32) | old.fileVersionLow();
            std::uint64_t newVersion = (std::uint64_t(fresh.fileVersionHigh()) << 32) | fresh.fileVersionLow();
            bool orEqual = rule == 1 || rule == 5;
            if (orEqual ? newVersion >= oldVersion : newVersion > oldVersion)
                return true;
        }
    }
    if (rule >= 3 && rule <= 6) {
        ULARGE_INTEGER oldTime, newTime;
        if (readLastWriteTime(installed, oldTime) && readLastWriteTime(packaged, newTime)) {
            bool orEqual = rule == 3 || rule == 5;
            return orEqual ? newTime.QuadPart >= oldTime.QuadPart : newTime.QuadPart > oldTime.QuadPart;
        }
    }
    return false;
}

FileHandler::FileHandler(InstallLog* log, HWND statusLine) : m_log(log), m_statusLine(statusLine)
{
    if (!m_package.open("setup.zip"))
        throw FileException("setup.zip", FileNotFound);
}

FileHandler::FileHandler() : m_log(nullptr), m_statusLine(nullptr)
{
}

FileHandler::~FileHandler()
{
    m_package.close();
}

void FileHandler::logFolder(const std::string& path)
{
    if (m_log != nullptr)
        m_log->addEntry(InstallLog::Folder, path);
}

unsigned long FileHandler::createFolders(const std::string& folder, bool logEach)
{
    if (folder.size() > maxPathLength)
        return ERROR_FILENAME_EXCED_RANGE;
    std::string path = folder;
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    unsigned long error = createOne(path);
    if (error == 0) {
        logFolder(path);
        return 0;
    }
    // Server and share of a network path are never created; a local path starts at its root.
    std::size_t from;
    if (path.compare(0, 2, "\\\\") == 0) {
        std::size_t third = path.find('\\', 2);
        std::size_t fourth = third == std::string::npos ? third : path.find('\\', third + 1);
        if (fourth == std::string::npos)
            return error;
        from = fourth + 1;
    } else {
        std::size_t first = path.find('\\');
        if (first == std::string::npos)
            return error;
        from = first + 1;
    }
    for (std::size_t slash = path.find('\\', from); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
        std::string prefix = path.substr(0, slash);
        if (createOne(prefix) == 0 && logEach)
            logFolder(prefix);
    }
    error = createOne(path);
    if (error == 0)
        logFolder(path);
    return error;
}

void FileHandler::apply(const std::string& record)
{
    FileRecord file = FileRecord::parse(record);
    // Paths hold at most 259 characters on every Windows the product runs on; Wine takes
    // longer ones, which would install files no Windows could remove.
    if (!file.valid || file.targetPath.size() > maxPathLength)
        return;
    std::size_t slash = file.targetPath.rfind('\\');
    if (m_statusLine != nullptr)
        SendMessageA(m_statusLine, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.targetPath.c_str()));
    if (slash == std::string::npos)
        return;
    unsigned long error = createFolders(file.targetPath.substr(0, slash), false);
    if (error != 0 && error != ERROR_ALREADY_EXISTS)
        return;
    if (!install(file.entryName, file.targetPath, file.rule))
        return;
    bool logged = (file.flags & FileRecord::NotLogged) == 0;
    if (logged && m_log != nullptr)
        m_log->addEntry(InstallLog::File, file.targetPath);
    if ((file.flags & FileRecord::CountShared) != 0)
        SharedFileHandler::increaseCount(file.targetPath);
    if ((file.flags & FileRecord::SelfRegister) != 0 && selfRegister(file.targetPath) && logged && m_log != nullptr)
        m_log->addEntry(InstallLog::SelfRegistered, file.targetPath);
}

bool FileHandler::install(const std::string& entryName, const std::string& targetPath, std::int32_t rule)
{
    if (rule == 0 || !fileExists(targetPath)) {
        bool existed = fileExists(targetPath);
        if (m_package.extractTo(entryName, targetPath))
            return true;
        // A damaged entry or a full disk leaves a cut or corrupt file behind, which setup.log
        // would never name and so no removal would take away.
        if (!existed)
            DeleteFileA(targetPath.c_str());
        return false;
    }
    if (rule >= 1 && rule <= 6)
        return compareAndReplace(entryName, targetPath, rule);
    // Unknown rules keep what is installed, and the record counts as done.
    return true;
}

bool FileHandler::compareAndReplace(const std::string& entryName, const std::string& targetPath, std::int32_t rule)
{
    std::optional<std::string> packaged = m_package.extractToTemp(entryName);
    if (!packaged)
        return false;
    bool inUse = false;
    if (packagedFileWins(targetPath, *packaged, rule)) {
        m_replacer.replace(*packaged, targetPath);
        inUse = m_replacer.sourceInUse();
    }
    if (!inUse)
        DeleteFileA(packaged->c_str());
    return true;
}

void FileHandler::undo(const std::string& logLine)
{
    DeleteFileA(logLine.c_str());
}
