// WizardFlow: page-to-command table, system-requirement rows and the path texts of the pages.
#include "WizardFlow.h"

namespace wizard {

namespace {

const std::int32_t showCommands[] = {
    CmdShowLanguage,     CmdShowWelcome, CmdShowLicense, CmdShowReadme, CmdShowUserInfo, CmdShowTargetDir,
    CmdShowProgramGroup, CmdShowStart,   CmdShowProcess, CmdShowFinish, CmdClose,        CmdFinalActions,
};
const std::int32_t pageCount = sizeof showCommands / sizeof showCommands[0];

const RequirementRow rows[] = {
    {&WindowsVersion::isWindows95, "SysReqWindows95", "Windows 95"},
    {&WindowsVersion::isWindows98, "SysReqWindows98", "Windows 98"},
    {&WindowsVersion::isWindowsME, "SysReqWindowsME", "Windows ME"},
    {&WindowsVersion::isWindowsNT4, "SysReqWindowsNT4", "Windows NT4"},
    {&WindowsVersion::isWindows2000, "SysReqWindows2000", "Windows 2000"},
    {&WindowsVersion::isWindowsXP, "SysReqWindowsXP", "Windows XP"},
};

} // namespace

std::int32_t showCommandForPage(std::int32_t page)
{
    if (page < 0 || page >= pageCount)
        return CmdClose;
    return showCommands[page];
}

std::int32_t pageForShowCommand(std::int32_t command)
{
    // Index 10 has no page: its entry is CmdClose, which is not a show command.
    for (std::int32_t page = 0; page < pageCount; ++page)
        if (page != 10 && page != 11 && showCommands[page] == command)
            return page;
    return -1;
}

const RequirementRow* requirementRows(std::size_t& count)
{
    count = sizeof rows / sizeof rows[0];
    return rows;
}

std::string browsedTarget(const std::string& folder, const std::string& directoryName)
{
    std::string target = folder;
    if (target.empty() || target.back() != '\\')
        target += '\\';
    return target + directoryName;
}

std::string startSummary(const std::string& text1, const std::string& appDir, const std::string& text2,
                         const std::string& group)
{
    return text1 + "\r\n  " + appDir + "\r\n\r\n" + text2 + "\r\n  " + group;
}

std::string folderOf(const std::string& path)
{
    std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string uninstallProgram(const std::string& value)
{
    if (!value.empty() && value[0] == '"')
        return value.size() >= 2 ? value.substr(1, value.size() - 2) : std::string();
    return value;
}

bool startsDirectly(const std::string& applicationPath)
{
    return applicationPath.find(".exe") != std::string::npos;
}

} // namespace wizard
