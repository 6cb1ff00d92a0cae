// SharedFileHandler: removing a shared or system file once no product counts it any more.
#pragma once

#include <cstdint>
#include <string>

#include "RecordHandler.h"

class FileHandler;

class SharedFileHandler : public RecordHandler {
public:
    explicit SharedFileHandler(FileHandler& files) : m_files(files) {}

    // Installation never goes through this handler.
    void apply(const std::string&) override {}
    // A SHAREDFILES or STDFILES line: one user fewer; the file goes when the count is 0.
    void undo(const std::string& logLine) override;

    // HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs, the value named by the
    // path. increaseCount: 1 for a missing value, else one more; nothing without the key.
    static void increaseCount(const std::string& path);
    // The count after taking one off (0 stays 0), or -1 without the key or the value.
    static std::int32_t decreaseCount(const std::string& path);

private:
    FileHandler& m_files;
};
