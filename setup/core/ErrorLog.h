// ErrorLog: the messages of failed records, written to error.log in the installation folder.
#pragma once

#include <string>
#include <vector>

class InstallLog;

class ErrorLog {
public:
    // path: the installation folder followed by "\error.log"; the log is not owned.
    ErrorLog(std::string path, InstallLog* log);
    // Writes what write() has not written yet, swallowing a failure: the destructor runs when
    // an exception ends the install sequence, and nothing may leave a destructor.
    ~ErrorLog();
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    void add(const std::string& message);
    // Writes error.log when a message was added, empties the list and adds the path to the
    // install log's APPFILES; throws FileException (path, "The disk is full") when it cannot.
    // Without messages it writes nothing and leaves an existing file alone.
    void write();

    const std::string& path() const { return m_path; }
    const std::vector<std::string>& messages() const { return m_messages; }

private:
    std::string m_path;
    InstallLog* m_log;
    std::vector<std::string> m_messages;
};
