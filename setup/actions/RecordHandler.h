// RecordHandler: carries out one kind of install-script record and reverses its setup.log lines.
#pragma once

#include <string>

class RecordHandler {
public:
    virtual ~RecordHandler() = default;

    // One record of the handler's list, its variables already expanded.
    virtual void apply(const std::string& record) = 0;
    // One line of setup.log written for such a record; only the uninstaller calls it.
    virtual void undo(const std::string& logLine) = 0;
};
