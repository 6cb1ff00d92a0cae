// InstallLog: the lines that setup.log will hold for the product's uninstaller.
#pragma once

#include <string>
#include <vector>

// Only what the core puts into the log is here yet: the product and uninstaller lines of
// [COMMON] and the program to run before removal. The other lists and the writing of
// setup.log come with the install sequence.
class InstallLog {
public:
    enum EntryKind { RunBeforeRemoval = 32 };

    InstallLog(const std::string& folder, const std::string& fileName, bool disabled);

    const std::string& path() const { return m_path; }
    bool disabled() const { return m_disabled; }

    void addCommon(const std::string& line);
    void addEntry(EntryKind kind, const std::string& text);

    const std::vector<std::string>& commonLines() const { return m_common; }
    const std::vector<std::string>& runAppsLines() const { return m_runApps; }

private:
    std::string m_path;
    bool m_disabled;
    std::vector<std::string> m_common;
    std::vector<std::string> m_runApps;
};
