// InstallLog: the lines of setup.log, from which the product's uninstaller removes it again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class InstallLog {
public:
    enum EntryKind : std::int32_t {
        File = 1,
        Folder = 2,
        SelfRegistered = 4,
        RegistryKey = 8,
        RunBeforeRemoval = 32,
    };
    enum ListType : std::int32_t { Application = 0, System = 1, Shared = 2, Shortcut = 4 };
    // The lists in the order setup.log holds them.
    enum List { Common, SharedFiles, StdFiles, AppFiles, AppFolders, AppDir, RegEntry, RegDlls, RunApps, ListCount };

    // path: folder, a backslash unless folder ends with one, and fileName ("\setup.log" for
    // an empty folder). Unless disabled, the path itself is the first APPFILES entry.
    InstallLog(const std::string& folder, const std::string& fileName, bool disabled);

    const std::string& path() const { return m_path; }
    bool disabled() const { return m_disabled; }
    std::int32_t listType() const { return m_listType; }
    void setListType(std::int32_t type);

    void addCommon(const std::string& line);
    // Under the current list type; kinds that have no list for the type are dropped.
    void addEntry(EntryKind kind, const std::string& text);
    void addEntry(EntryKind kind, const std::string& text, std::int32_t listType);

    // Lines in the order they were added.
    const std::vector<std::string>& lines(List list) const { return m_lists[list]; }
    const std::vector<std::string>& commonLines() const { return m_lists[Common]; }
    const std::vector<std::string>& runAppsLines() const { return m_lists[RunApps]; }

    // The whole of setup.log: nine headers, COMMON in order, every other list newest first,
    // every line ended by CR LF.
    std::string text() const;

    static const char* listName(List list);

private:
    std::string m_path;
    bool m_disabled;
    std::int32_t m_listType = Application;
    std::vector<std::string> m_lists[ListCount];
};

// Writes text to path byte for byte; false, with nothing left at path, when that fails.
bool writeWholeFile(const std::string& path, const std::string& text);
