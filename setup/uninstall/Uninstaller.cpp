// Uninstaller: the order of removal and what the user is asked and told.
#include "Uninstaller.h"

#include <windows.h>

#include <utility>

#include "FileHandler.h"
#include "FolderHandler.h"
#include "ProgramRunner.h"
#include "RecordFields.h"
#include "RegistryHandler.h"
#include "SelfRemoval.h"
#include "SharedFileHandler.h"

namespace {

// A setup.log of this size is no log the installer wrote.
const DWORD largestLog = 16 * 1024 * 1024;
// The report box lists this many items, then says how many more stayed.
const std::size_t listedItems = 20;

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool readWholeFile(const std::string& path, std::string& text, bool& found)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    found = file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_NOT_FOUND;
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, nullptr);
    bool read = size != INVALID_FILE_SIZE && size <= largestLog;
    if (read) {
        text.assign(size, '\0');
        DWORD got = 0;
        read = size == 0 || (ReadFile(file, &text[0], size, &got, nullptr) && got == size);
    }
    CloseHandle(file);
    return read;
}

// -1 when the file has no SharedDLLs value (it is not counted and stays).
long sharedCount(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return -1;
    DWORD type = 0, count = 0, size = sizeof count;
    LONG result = RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&count), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long>(count) : -1;
}

// On Windows 95, 98 and ME RegDeleteKey takes the subkeys with it; a key that another
// product still keeps keys under must stay.
bool hasSubkeys(const std::string& line)
{
    std::size_t comma = line.find(',');
    if (comma == std::string::npos)
        return false;
    HKEY root = RegistryHandler::rootKey(line.substr(0, comma));
    HKEY key = nullptr;
    if (root == nullptr || RegOpenKeyExA(root, line.substr(comma + 1).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char name[MAX_PATH];
    bool found = RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

struct KeyLine {
    std::string root;
    std::string subkey;
};

KeyLine splitKeyLine(const std::string& line)
{
    std::size_t comma = line.find(',');
    if (comma == std::string::npos)
        return {line, std::string()};
    return {line.substr(0, comma), line.substr(comma + 1)};
}

bool keyIsEmpty(HKEY root, const std::string& subkey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD subkeys = 1, values = 1;
    LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                   nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

bool inside(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() + 1 && path[folder.size()] == '\\' &&
           samePath(path.substr(0, folder.size()), folder);
}

// True when the folder holds nothing but the way down to path, so it goes once path has gone.
bool holdsOnly(const std::string& folder, const std::string& path)
{
    std::size_t end = path.find('\\', folder.size() + 1);
    std::string next =
        path.substr(folder.size() + 1, end == std::string::npos ? std::string::npos : end - folder.size() - 1);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool only = true;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != ".." && !samePath(name, next))
            only = false;
    } while (only && FindNextFileA(search, &found));
    FindClose(search);
    return only;
}

void unregisterLibrary(const std::string& path)
{
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr)
        return;
    typedef HRESULT(__stdcall * Entry)();
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, "DllUnregisterServer")));
    if (entry != nullptr)
        entry();
    FreeLibrary(library);
}

} // namespace

bool samePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

Uninstaller::Uninstaller(std::string folder, std::string programPath, bool silent)
    : m_folder(std::move(folder)), m_programPath(std::move(programPath)), m_silent(silent)
{
}

int Uninstaller::run()
{
    if (!readLog())
        return NoLog;
    if (!m_silent && !confirm())
        return Declined;
    runBeforeUninstall();
    removeRegistryKeys();
    removeSharedFiles(RemovalLog::SharedFiles);
    removeSharedFiles(RemovalLog::StdFiles);
    removeApplicationFiles();
    removeFolders(RemovalLog::AppFolders);
    removeFolders(RemovalLog::AppDir);
    removeProgram();

    if (m_leftOver.empty()) {
        showBox(m_log.productName() + " was removed from this computer.", MB_ICONINFORMATION);
        return Removed;
    }
    std::string text = m_log.productName() + " was removed, but these items could not be:\r\n";
    for (std::size_t n = 0; n < m_leftOver.size() && n < listedItems; ++n)
        text += "\r\n" + m_leftOver[n];
    if (m_leftOver.size() > listedItems)
        text += "\r\n... and " + std::to_string(m_leftOver.size() - listedItems) + " more";
    showBox(text, MB_ICONWARNING);
    return PartlyRemoved;
}

bool Uninstaller::readLog()
{
    std::string path = m_folder + "\\setup.log";
    std::string text, problem;
    bool found = false;
    if (!readWholeFile(path, text, found)) {
        showBox(found ? "The installation log " + path + " cannot be read.\r\n\r\nNothing was removed."
                      : "The installation log " + path +
                            " was not found, so it is not known what to remove.\r\n\r\nNothing was removed.",
                MB_ICONERROR);
        return false;
    }
    if (!m_log.parse(text, problem)) {
        showBox("The installation log " + path + " is damaged: " + problem + ".\r\n\r\nNothing was removed.",
                MB_ICONERROR);
        return false;
    }
    return true;
}

// The dialog lines: the first is the box's caption, the others its text, each on a line of
// its own; without any, a plain question is asked.
bool Uninstaller::confirm()
{
    std::string body;
    std::size_t last = 0;
    for (std::size_t n = 1; n < RemovalLog::DialogLineCount; ++n) {
        if (!m_log.dialogLine(n).empty())
            last = n;
    }
    for (std::size_t n = 1; n <= last; ++n)
        body += (n > 1 ? "\r\n" : "") + m_log.dialogLine(n);
    if (body.empty())
        body = "Do you want to remove " + m_log.productName() + " and all of its components?";
    std::string text = m_log.productName() + "\r\n\r\n" + body;
    return MessageBoxA(nullptr, text.c_str(), caption().c_str(), MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) ==
           IDYES;
}

std::string Uninstaller::caption() const
{
    const std::string& first = m_log.dialogLine(0);
    if (!first.empty())
        return first;
    return m_log.productName().empty() ? "Uninstall" : m_log.productName() + " Uninstall";
}

// The program may use the files about to go, so it is always waited for.
void Uninstaller::runBeforeUninstall()
{
    std::string command = m_log.beforeUninstall();
    if (command.empty())
        return;
    ProgramRecord program = ProgramRecord::parse(command);
    program.noWait = 0;
    if (!program.program.empty())
        runProgram(program);
}

void Uninstaller::removeRegistryKeys()
{
    RegistryHandler registry;
    for (const std::string& line : m_log.lines(RemovalLog::RegEntry)) {
        if (hasSubkeys(line))
            continue;
        registry.undo(line);
        removeEmptyParents(line);
    }
    removeInstallerKeys();
}

// The installer makes the keys above a product's UserData key without logging them; they go
// with the last product recorded there.
void Uninstaller::removeInstallerKeys()
{
    static const char* const keys[] = {
        "SOFTWARE\\Ostrel\\Stowpack\\UserData",
        "SOFTWARE\\Ostrel\\Stowpack",
        "SOFTWARE\\Ostrel",
    };
    bool recorded = false;
    for (const std::string& line : m_log.lines(RemovalLog::RegEntry)) {
        KeyLine key = splitKeyLine(line);
        if (key.root == "HKLM" && inside(key.subkey, keys[0]))
            recorded = true;
    }
    for (const char* key : keys) {
        if (!recorded || !keyIsEmpty(HKEY_LOCAL_MACHINE, key))
            return;
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    }
}

// A key such as Class\shell\open\command is logged, but not the shell and shell\open keys
// made with it. Keys between a removed key and a logged key above it were made by the same
// installation; they go once they hold nothing.
void Uninstaller::removeEmptyParents(const std::string& line)
{
    KeyLine removed = splitKeyLine(line);
    HKEY root = RegistryHandler::rootKey(removed.root);
    if (root == nullptr)
        return;
    std::string parent = removed.subkey;
    for (std::size_t slash = parent.rfind('\\'); slash != std::string::npos && slash > 0; slash = parent.rfind('\\')) {
        parent.erase(slash);
        bool logged = false, below = false;
        for (const std::string& other : m_log.lines(RemovalLog::RegEntry)) {
            KeyLine key = splitKeyLine(other);
            if (key.root != removed.root || key.subkey.empty())
                continue;
            if (samePath(key.subkey, parent))
                logged = true;
            else if (inside(parent, key.subkey))
                below = true;
        }
        if (logged || !below || !keyIsEmpty(root, parent))
            return;
        RegDeleteKeyA(root, parent.c_str());
    }
}

void Uninstaller::removeSharedFiles(RemovalLog::Section section)
{
    FileHandler files;
    SharedFileHandler shared(files);
    for (const std::string& line : m_log.lines(section)) {
        if (!isAbsolutePath(line))
            continue;
        long count = sharedCount(line);
        bool goes = count == 0 || count == 1;
        if (goes)
            unregisterIfListed(line);
        shared.undo(line);
        if (goes && exists(line))
            m_leftOver.push_back(line);
    }
}

void Uninstaller::removeApplicationFiles()
{
    FileHandler files;
    for (const std::string& line : m_log.lines(RemovalLog::AppFiles)) {
        if (!isAbsolutePath(line))
            continue;
        if (samePath(line, m_programPath)) {
            m_programListed = true;
            continue;
        }
        unregisterIfListed(line);
        files.undo(line);
        if (exists(line))
            m_leftOver.push_back(line);
    }
}

void Uninstaller::removeFolders(RemovalLog::Section section)
{
    FileHandler files;
    FolderHandler folders(files);
    for (const std::string& line : m_log.lines(section)) {
        if (!isAbsolutePath(line))
            continue;
        folders.undo(line);
        if (!exists(line))
            continue;
        if (m_programListed && inside(m_programPath, line) && holdsOnly(line, m_programPath))
            m_programFolders.push_back(line);
        else
            m_leftOver.push_back(line);
    }
}

void Uninstaller::removeProgram()
{
    if (!m_programListed)
        return;
    // Some systems let a running program's file go; then the rest is done here.
    if (DeleteFileA(m_programPath.c_str())) {
        for (const std::string& folder : m_programFolders) {
            if (!RemoveDirectoryA(folder.c_str()))
                m_leftOver.push_back(folder);
        }
        return;
    }
    if (!startSelfRemoval(m_programPath, m_programFolders)) {
        m_leftOver.push_back(m_programPath);
        m_leftOver.insert(m_leftOver.end(), m_programFolders.begin(), m_programFolders.end());
    }
}

void Uninstaller::unregisterIfListed(const std::string& path)
{
    for (const std::string& library : m_log.lines(RemovalLog::RegDlls)) {
        if (samePath(library, path)) {
            unregisterLibrary(path);
            return;
        }
    }
}

void Uninstaller::showBox(const std::string& text, unsigned type)
{
    if (!m_silent)
        MessageBoxA(nullptr, text.c_str(), caption().c_str(), MB_OK | MB_SETFOREGROUND | type);
}
