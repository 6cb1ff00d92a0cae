// WizardFlow: the wizard's windows.h-free rules: page commands, system requirements, path texts.
#pragma once

#include <cstdint>
#include <string>

#include "SetupCommand.h"
#include "WindowsVersion.h"

namespace wizard {

// The show command of a page index; -1 and anything outside the page table give CmdClose.
std::int32_t showCommandForPage(std::int32_t page);
// The page a show command stands for, or -1 for any other code.
std::int32_t pageForShowCommand(std::int32_t command);

struct RequirementRow {
    bool (WindowsVersion::*matches)() const;
    const char* variable;
    const char* name;
};
const RequirementRow* requirementRows(std::size_t& count);

// The Target Directory edit after Browse: folder, one backslash, the default directory name.
std::string browsedTarget(const std::string& folder, const std::string& directoryName);
// The Start Copying summary.
std::string startSummary(const std::string& text1, const std::string& appDir, const std::string& text2,
                         const std::string& group);

// The part of a path before its last backslash, empty when it has none.
std::string folderOf(const std::string& path);
// The program path of an UninstallString: without its first and last character when it
// begins with a double quote.
std::string uninstallProgram(const std::string& value);
// Whether the application is started directly rather than opened through the shell.
bool startsDirectly(const std::string& applicationPath);

} // namespace wizard
