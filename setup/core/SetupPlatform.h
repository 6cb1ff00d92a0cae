// SetupPlatform: what SetupContext asks of the system, so its rules build without windows.h.
#pragma once

#include <string>

#include "InstallLog.h"
#include "SetupScript.h"
#include "WindowsVersion.h"

enum class ShellFolder {
    Desktop,
    StartUp,
    StartMenu,
    Programs,
    CommonDesktop,
    CommonStartUp,
    CommonStartMenu,
    CommonPrograms,
};

class SetupPlatform {
public:
    virtual ~SetupPlatform() = default;

    virtual std::string programFolder() = 0;
    // Throws FileException (fileName, kind 2) when the file cannot be opened.
    virtual SetupScript openScript(const std::string& folder, const std::string& fileName) = 0;
    // Throws WinException "Couldn't check Windows version".
    virtual WindowsVersion windowsVersion() = 0;
    virtual std::string windowsDirectory() = 0;
    virtual std::string systemDirectory() = 0;
    virtual std::string tempDirectory() = 0;
    // Empty when the shell cannot name the folder.
    virtual std::string shellFolder(ShellFolder folder) = 0;
    // RegistryHelper's machine software read: HKLM\Software\<key>\<valuePath>.
    virtual bool machineSoftwareString(const std::string& key, const std::string& valuePath, std::string& text) = 0;
    // CommonFilesDir of HKLM\Software\Microsoft\Windows\CurrentVersion, whatever its type.
    virtual bool commonFilesDir(std::string& text) = 0;
    // Relative names are looked up in the current directory.
    virtual bool fileExists(const std::string& name) = 0;
    // Writes a whole file byte for byte; false, and no file, when that fails.
    virtual bool writeFile(const std::string& path, const std::string& text) { return writeWholeFile(path, text); }
};
