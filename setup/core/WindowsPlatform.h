// WindowsPlatform: SetupContext's view of the running Windows.
#pragma once

#include "SetupPlatform.h"

class WindowsPlatform : public SetupPlatform {
public:
    std::string programFolder() override;
    SetupScript openScript(const std::string& folder, const std::string& fileName) override;
    WindowsVersion windowsVersion() override;
    std::string windowsDirectory() override;
    std::string systemDirectory() override;
    std::string tempDirectory() override;
    std::string shellFolder(ShellFolder folder) override;
    bool machineSoftwareString(const std::string& key, const std::string& valuePath, std::string& text) override;
    bool commonFilesDir(std::string& text) override;
    bool fileExists(const std::string& name) override;
};

WindowsPlatform& windowsPlatform();
