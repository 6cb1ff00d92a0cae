// FileHandler: the records of APPLICATION_FILES, SHARED_FILES and SYSTEM_FILES.
#pragma once

#include <windows.h>

#include <string>

#include "FileReplacer.h"
#include "PackageArchive.h"
#include "RecordHandler.h"

class InstallLog;

class FileHandler : public RecordHandler {
public:
    // Opens "setup.zip" of the current folder; throws FileException ("setup.zip", "File not
    // found") when it cannot. The log is not owned; statusLine may be null.
    FileHandler(InstallLog* log, HWND statusLine);
    // For undo only: no package, no log.
    FileHandler();
    // Closes the package.
    ~FileHandler() override;

    // "description,entry,target[,flags[,rule]]": installs one file by its replace rule.
    void apply(const std::string& record) override;
    // An APPFILES line: deletes the file.
    void undo(const std::string& logLine) override;

    // Creates path with every missing parent. logEach: log each folder created, parents
    // first (folder records); otherwise only the whole path when its own creation worked.
    // Returns the error of creating the whole path (0 when it was created).
    unsigned long createFolders(const std::string& path, bool logEach);

    InstallLog* log() const { return m_log; }
    FileReplacer& replacer() { return m_replacer; }
    bool rebootNeeded() const { return m_replacer.rebootNeeded(); }

private:
    bool install(const std::string& entryName, const std::string& targetPath, std::int32_t rule);
    bool compareAndReplace(const std::string& entryName, const std::string& targetPath, std::int32_t rule);
    void logFolder(const std::string& path);

    PackageArchive m_package;
    InstallLog* m_log;
    HWND m_statusLine;
    FileReplacer m_replacer;
};

// Decides rules 1 to 6 for an installed and a packaged file; exposed for the tests.
bool packagedFileWins(const std::string& installed, const std::string& packaged, std::int32_t rule);
