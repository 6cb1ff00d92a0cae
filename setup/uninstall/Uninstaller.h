// Uninstaller: removes an installed product with the help of the setup.log beside the program.
#pragma once

#include <string>
#include <vector>

#include "RemovalLog.h"

class Uninstaller {
public:
    enum ExitCode { Removed = 0, PartlyRemoved = 1, NoLog = 2, Declined = 3 };

    // folder: where setup.log lies; programPath: this program, which goes last if it is listed.
    Uninstaller(std::string folder, std::string programPath, bool silent);

    // Asks (unless silent), removes, reports (unless silent) and returns the exit code.
    int run();

    // What stayed although it was listed for removal, for the report.
    const std::vector<std::string>& leftOver() const { return m_leftOver; }

private:
    bool readLog();
    bool confirm();
    void runBeforeUninstall();
    void removeRegistryKeys();
    void removeEmptyParents(const std::string& line);
    void removeInstallerKeys();
    void removeSharedFiles(RemovalLog::Section section);
    void removeApplicationFiles();
    void removeFolders(RemovalLog::Section section);
    void removeProgram();
    void unregisterIfListed(const std::string& path);
    void showBox(const std::string& text, unsigned type);
    std::string caption() const;

    std::string m_folder;
    std::string m_programPath;
    bool m_silent;
    RemovalLog m_log;
    bool m_programListed = false;
    // Folders that only this running program keeps from going, innermost first.
    std::vector<std::string> m_programFolders;
    std::vector<std::string> m_leftOver;
};

// Case-insensitive comparison of two paths of the ANSI code page, as the file system sees them.
bool samePath(const std::string& a, const std::string& b);
