// A SetupPlatform made of in-memory files, folders and registry values, for the native tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "SetupExceptions.h"
#include "SetupPlatform.h"

class FakePlatform : public SetupPlatform {
public:
    std::map<std::string, std::string> files; // name in the program folder -> content
    std::vector<std::string> opened;
    std::string folder = "C:\\Setup";
    WindowsVersion version{2, 5, 1};
    bool versionFails = false;
    bool programFilesPresent = true;
    std::string programFiles = "D:\\Programs";
    bool commonFilesPresent = true;
    std::string commonFiles = "D:\\Programs\\Shared";
    bool packagePresent = true;
    std::map<std::string, std::string> written; // path -> content of every file written
    bool writeFails = false;

    std::string programFolder() override { return folder; }
    SetupScript openScript(const std::string& where, const std::string& fileName) override
    {
        opened.push_back(joinPath(where, fileName));
        auto found = files.find(fileName);
        if (where != folder || found == files.end())
            throw FileException(fileName, FileCannotOpen);
        return SetupScript::fromText(found->second);
    }
    WindowsVersion windowsVersion() override
    {
        if (versionFails)
            throw 42;
        return version;
    }
    std::string windowsDirectory() override { return "C:\\WINDOWS"; }
    std::string systemDirectory() override { return "C:\\WINDOWS\\system32"; }
    std::string tempDirectory() override { return "C:\\TEMP\\"; }
    std::string shellFolder(ShellFolder which) override
    {
        switch (which) {
        case ShellFolder::Desktop:
            return "C:\\User\\Desktop";
        case ShellFolder::StartUp:
            return "C:\\User\\Start Menu\\Programs\\StartUp";
        case ShellFolder::StartMenu:
            return "C:\\User\\Start Menu";
        case ShellFolder::Programs:
            return "C:\\User\\Start Menu\\Programs";
        case ShellFolder::CommonDesktop:
            return "C:\\All\\Desktop";
        case ShellFolder::CommonStartUp:
            return "C:\\All\\Start Menu\\Programs\\StartUp";
        case ShellFolder::CommonStartMenu:
            return "C:\\All\\Start Menu";
        case ShellFolder::CommonPrograms:
            return "C:\\All\\Start Menu\\Programs";
        }
        return std::string();
    }
    bool machineSoftwareString(const std::string& key, const std::string& valuePath, std::string& text) override
    {
        if (!programFilesPresent || key != "Microsoft\\Windows\\CurrentVersion" || valuePath != "ProgramFilesDir")
            return false;
        text = programFiles;
        return true;
    }
    bool commonFilesDir(std::string& text) override
    {
        if (!commonFilesPresent)
            return false;
        text = commonFiles;
        return true;
    }
    bool fileExists(const std::string& name) override { return name == "setup.zip" && packagePresent; }
    bool writeFile(const std::string& path, const std::string& text) override
    {
        if (writeFails)
            return false;
        written[path] = text;
        return true;
    }
};
