// IniHandler: INI_FILES records, one entry written into a profile file each.
#pragma once

#include <string>

#include "RecordHandler.h"

class ErrorLog;
class InstallLog;

class IniHandler : public RecordHandler {
public:
    // Neither is owned; INI entries are neither logged nor reported.
    IniHandler(InstallLog* log, ErrorLog* errors) : m_log(log), m_errors(errors) {}

    // "file,section,key,value"; absent fields are empty and a record without a file is ignored.
    void apply(const std::string& record) override;
    // INI entries stay when the product is removed.
    void undo(const std::string&) override {}

private:
    [[maybe_unused]] InstallLog* m_log;
    [[maybe_unused]] ErrorLog* m_errors;
};
