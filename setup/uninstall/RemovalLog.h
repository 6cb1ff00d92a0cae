// RemovalLog: the uninstaller's reading of setup.log, checked before anything is removed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class RemovalLog {
public:
    enum Section {
        Common,
        SharedFiles,
        StdFiles,
        AppFiles,
        AppFolders,
        AppDir,
        RegEntry,
        RegDlls,
        RunApps,
        SectionCount
    };
    static constexpr std::size_t DialogLineCount = 13;

    // False with a reason when the text is not a whole setup.log. A log cut short (a missing
    // header or a last line without its line end) is refused as a whole, because its last
    // line may be the beginning of some other file's path.
    bool parse(const std::string& text, std::string& problem);

    const std::string& productName() const { return m_productName; }
    // Line n of the uninstaller's dialog texts; empty past the ones the log holds.
    const std::string& dialogLine(std::size_t n) const;
    const std::vector<std::string>& lines(Section section) const { return m_lines[section]; }
    // The command of the RUNAPPS BeforeUninstall line; empty when there is none.
    std::string beforeUninstall() const;
    // Section names found in the log that the uninstaller does not know; their lines are left alone.
    const std::vector<std::string>& unknownSections() const { return m_unknown; }

    static const char* sectionName(Section section);

private:
    std::string m_productName;
    std::vector<std::string> m_lines[SectionCount];
    std::vector<std::string> m_unknown;
};

// True for a path that names a place by itself: a drive letter, a colon and a backslash, or a
// network path. Relative lines would be taken against whatever the current folder is.
bool isAbsolutePath(const std::string& path);
