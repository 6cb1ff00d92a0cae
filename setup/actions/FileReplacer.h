// FileReplacer: copies a new file over an installed one, or arranges it for the next restart.
#pragma once

#include <string>

class FileReplacer {
public:
    // Copies source over target. When the target is in use the replacement is left to the
    // next restart (MoveFileEx on the NT family, WinInit.Ini on Windows 95, 98 and ME) and
    // rebootNeeded() becomes true. False when the target stays as it was and nothing was
    // arranged. Throws WinException when the Windows version cannot be read.
    bool replace(const std::string& source, const std::string& target);
    // True when the last replace left a restart replacement that still needs the source.
    bool sourceInUse() const { return m_sourceInUse; }
    bool rebootNeeded() const { return m_rebootNeeded; }

    // The name the file in use is moved to on the NT family: in the file name, the last "dll"
    // (or, without one, the extension after the last dot, or nothing) becomes 001 to 998,
    // the first for which no file exists; 998 when all exist.
    static std::string backupName(const std::string& target);
    // The name backupName tries for number n (1 to 998).
    static std::string backupCandidate(const std::string& target, int n);
    // Adds "target=source" as the first line of the [Rename] section of WinInit.Ini in the
    // Windows folder, creating the section or the file when needed.
    static bool addWinInitRename(const std::string& target, const std::string& source);

private:
    bool replaceInUseNT(const std::string& source, const std::string& target);

    bool m_rebootNeeded = false;
    bool m_sourceInUse = false;
};
