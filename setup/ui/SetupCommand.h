// SetupCommand: the command codes of the wizard, posted to the setup window and returned by pages.
#pragma once

#include <cstdint>

enum SetupCommand : std::int32_t {
    CmdResume = 1025,
    CmdClose = 1026,
    CmdStart = 1027,
    CmdNext = 1028,
    CmdBack = 1029,
    CmdShowLanguage = 1030,
    CmdShowWelcome = 1031,
    CmdShowLicense = 1032,
    CmdShowTargetDir = 1033,
    CmdShowProgramGroup = 1034,
    CmdShowStart = 1035,
    CmdShowProcess = 1036,
    CmdShowReadme = 1037,
    CmdShowUserInfo = 1038,
    CmdShowFinish = 1039,
    CmdFinalActions = 1041,
    CmdReinstallUninstall = 1045,
    CmdReinstallKeep = 1046,
    CmdReinstallCancel = 1047,
    CmdInstallDone = 1048,
    CmdReadmeClosed = 1049,
};
