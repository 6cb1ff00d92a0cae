// InstallLog: collecting the lines of setup.log.
#include "InstallLog.h"

#include "SetupScript.h"

InstallLog::InstallLog(const std::string& folder, const std::string& fileName, bool disabled)
    : m_path(joinPath(folder, fileName)), m_disabled(disabled)
{
}

void InstallLog::addCommon(const std::string& line)
{
    if (!m_disabled)
        m_common.push_back(line);
}

void InstallLog::addEntry(EntryKind kind, const std::string& text)
{
    if (m_disabled)
        return;
    if (kind == RunBeforeRemoval)
        m_runApps.push_back(text);
}
