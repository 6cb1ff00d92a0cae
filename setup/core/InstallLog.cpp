// InstallLog: collecting the lines of setup.log and writing the file.
#include "InstallLog.h"

#include <cstdio>

namespace {

// The list of each entry kind for list types 0, 1, 2 and 4; ListCount drops the entry.
InstallLog::List listFor(InstallLog::EntryKind kind, std::int32_t type)
{
    if (type != InstallLog::Application && type != InstallLog::System && type != InstallLog::Shared &&
        type != InstallLog::Shortcut)
        return InstallLog::ListCount;
    switch (kind) {
    case InstallLog::File:
        if (type == InstallLog::System)
            return InstallLog::StdFiles;
        if (type == InstallLog::Shared)
            return InstallLog::SharedFiles;
        return InstallLog::AppFiles;
    case InstallLog::Folder:
        return type == InstallLog::Application ? InstallLog::AppDir : InstallLog::AppFolders;
    case InstallLog::SelfRegistered:
        return InstallLog::RegDlls;
    case InstallLog::RegistryKey:
        return InstallLog::RegEntry;
    case InstallLog::RunBeforeRemoval:
        return InstallLog::RunApps;
    }
    return InstallLog::ListCount;
}

} // namespace

InstallLog::InstallLog(const std::string& folder, const std::string& fileName, bool disabled)
    : m_path(!folder.empty() && folder.back() == '\\' ? folder + fileName : folder + "\\" + fileName),
      m_disabled(disabled)
{
    addEntry(File, m_path);
}

void InstallLog::setListType(std::int32_t type)
{
    if (!m_disabled)
        m_listType = type;
}

void InstallLog::addCommon(const std::string& line)
{
    if (m_disabled)
        return;
    // A line break would start another line of setup.log, and the uninstaller finds the
    // dialog texts by their line number: keep the line, blank out the break. A NUL byte makes
    // the uninstaller take the whole log for binary data and remove nothing.
    std::string text = line;
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    m_lists[Common].push_back(text);
}

void InstallLog::addEntry(EntryKind kind, const std::string& text)
{
    addEntry(kind, text, m_listType);
}

void InstallLog::addEntry(EntryKind kind, const std::string& text, std::int32_t listType)
{
    if (m_disabled)
        return;
    // setup.log holds one entry a line. An entry with a line break in it would be read back as
    // other entries, perhaps of another section, and the uninstaller would remove what was never
    // installed; no file or key name has one, so such an entry is not kept.
    if (text.find_first_of("\r\n") != std::string::npos)
        return;
    List list = listFor(kind, listType);
    if (list != ListCount)
        m_lists[list].push_back(text);
}

const char* InstallLog::listName(List list)
{
    static const char* const names[ListCount] = {"COMMON", "SHAREDFILES", "STDFILES", "APPFILES", "APPFOLDERS",
                                                 "APPDIR", "REGENTRY",    "REGDLLS",  "RUNAPPS"};
    return names[list];
}

std::string InstallLog::text() const
{
    std::string text = "[COMMON]\r\n";
    for (const std::string& line : m_lists[Common])
        text += line + "\r\n";
    for (int list = SharedFiles; list < ListCount; ++list) {
        text += std::string("[") + listName(static_cast<List>(list)) + "]\r\n";
        const std::vector<std::string>& lines = m_lists[list];
        for (auto line = lines.rbegin(); line != lines.rend(); ++line)
            text += *line + "\r\n";
    }
    return text;
}

bool writeWholeFile(const std::string& path, const std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fclose(file) == 0 && written;
    // A file cut short by a full disk would be read by the uninstaller as the whole log.
    if (!written)
        std::remove(path.c_str());
    return written;
}
