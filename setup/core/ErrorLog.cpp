// ErrorLog: collecting and writing error.log.
#include "ErrorLog.h"

#include <utility>

#include "InstallLog.h"
#include "SetupExceptions.h"

ErrorLog::ErrorLog(std::string path, InstallLog* log) : m_path(std::move(path)), m_log(log)
{
}

ErrorLog::~ErrorLog()
{
    try {
        write();
    } catch (...) {
        // Reached only when the install sequence has already ended by an exception or never
        // called write(); there is nobody left to tell.
    }
}

void ErrorLog::add(const std::string& message)
{
    m_messages.push_back(message);
}

void ErrorLog::write()
{
    if (m_messages.empty())
        return;
    std::string text;
    for (const std::string& message : m_messages)
        text += message + "\r\n";
    if (!writeWholeFile(m_path, text))
        throw FileException(m_path, FileDiskFull);
    m_messages.clear();
    if (m_log != nullptr) {
        m_log->setListType(InstallLog::Application);
        m_log->addEntry(InstallLog::File, m_path);
    }
}
