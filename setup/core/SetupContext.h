// SetupContext: the one object of a setup run: script, language, variables and page plan.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "FontSpec.h"
#include "InstallLog.h"
#include "RecordFields.h"
#include "SetupPlatform.h"
#include "SetupScript.h"
#include "VariableTable.h"

struct tagLOGFONTA;

enum PageIndex : std::int32_t {
    PageLanguage = 0,
    PageWelcome = 1,
    PageLicense = 2,
    PageReadme = 3,
    PageUserInfo = 4,
    PageTargetDirectory = 5,
    PageProgramGroup = 6,
    PageStart = 7,
    PageProcess = 8,
    PageFinish = 9,
    PageReserved = 10,
    PageFinalActions = 11,
    PageCount = 12,
};

class SetupContext {
public:
    // Reads Setup.ini and the language file beside the program and checks for setup.zip.
    SetupContext();
    // The same on the given system; the platform must outlive the context.
    explicit SetupContext(SetupPlatform& platform);
    ~SetupContext();
    // Writes a setup.log that writeInstallLog() has not written, without a word if that
    // fails: this only happens when an exception is already on its way to the frame.
    SetupContext(const SetupContext&) = delete;
    SetupContext& operator=(const SetupContext&) = delete;

    void loadScript(const std::string& fileName);
    std::size_t copyToVariable(const std::string& section, const std::string& key,
                               const std::string& variableName = std::string());
    std::size_t copyTextToVariable(const std::string& section, const std::string& key,
                                   const std::string& variableName = std::string());

    const SetupScript& script() const { return *m_script; }
    const SetupScript& language() const { return *m_language; }
    InstallLog* installLog() const { return m_installLog.get(); }

    // Variables.
    std::string getVariable(const std::string& name, bool expand = true);
    void setVariable(const std::string& name, const std::string& value);
    bool variableIsTrue(const std::string& name);
    std::uint32_t variableNumber(const std::string& name, int base);
    void expandVariables(std::string& text) const;
    bool variableExists(const std::string& name) const { return m_variables.exists(name); }

    std::string productName() { return getVariable("ProductName"); }
    std::string companyName() { return getVariable("CompanyName"); }
    std::string productVersion() { return getVariable("ProductVersion"); }
    std::string appDir() { return getVariable("AppDir"); }
    std::string programGroup() { return getVariable("OutputProgramGroup"); }
    std::string defaultInstallationPath() { return getVariable("DefaultInstallationPath"); }
    std::string defaultDirectoryName() { return getVariable("DefaultDirectoryName"); }
    std::string defaultShortcutFolderName() { return getVariable("DefaultShortcutFolderName"); }
    void setAppDir(const std::string& text) { setVariable("AppDir", text); }
    void setOutputProgramGroup(const std::string& text) { setVariable("OutputProgramGroup", text); }

    // Languages and messages.
    bool languageName(std::size_t index, std::string& name);
    bool switchLanguage(const std::string& name);
    std::string message(int number) const;
    std::string formatMessage(int number, const std::string& argument) const;
    FontSpec fontSpec(const std::string& variableName);
    void fontSetting(const std::string& variableName, tagLOGFONTA& font);

    // Page plan. fillPagePlan runs at the end of loadScript and again once the command line
    // has set Imitation, which the plan depends on.
    void fillPagePlan();
    bool pageEnabled(std::int32_t page) const;
    std::int32_t startPage() const { return m_startPage; }
    std::int32_t currentPage() const { return m_currentPage; }
    void setCurrentPage(std::int32_t page) { m_currentPage = page; }
    std::int32_t nextEnabledPage() const;
    std::int32_t previousEnabledPage() const;

    // Flags.
    bool unattended() const { return m_unattended; }
    bool showViewReadme() const { return m_showViewReadme; }
    bool viewReadmeChecked() const { return m_viewReadmeChecked; }
    bool showRunApplication() const { return m_showRunApplication; }
    bool runApplicationChecked() const { return m_runApplicationChecked; }
    bool viewReadme() const { return m_viewReadme; }
    bool runApplication() const { return m_runApplication; }
    void setViewReadme(bool value) { m_viewReadme = value; }
    void setRunApplication(bool value) { m_runApplication = value; }

    // Programs around the installation.
    const std::optional<ProgramRecord>& beforeInstallProgram() const { return m_beforeInstallProgram; }
    const std::optional<std::string>& afterInstallProgram() const { return m_afterInstallProgram; }
    const std::optional<std::string>& beforeUninstallProgram() const { return m_beforeUninstallProgram; }

    // A log still held from an earlier run is written first.
    InstallLog* openInstallLog(bool imitation);
    // Writes setup.log at the end of the program and lets the log go; throws FileException
    // (path, "The disk is full") for the frame's failure box.
    void writeInstallLog();

private:
    void defineProgramFiles();
    void defineFolders();
    void readProductSettings();
    void openLanguage();
    void readInstallSettings();
    void readWindowSettings();
    void readDialogSettings();
    void readFinishSettings();
    void loadTexts(const char* section);
    void loadDialogTexts(bool reload);

    SetupPlatform& m_platform;
    std::string m_programFolder;

    std::unique_ptr<SetupScript> m_script;
    std::unique_ptr<SetupScript> m_language;
    std::unique_ptr<InstallLog> m_installLog;
    VariableTable m_variables;
    std::optional<ProgramRecord> m_beforeInstallProgram;
    std::optional<std::string> m_afterInstallProgram;
    std::optional<std::string> m_beforeUninstallProgram;
    std::int32_t m_pageEnabled[PageCount] = {};
    std::int32_t m_startPage = PageProcess;
    std::int32_t m_currentPage = PageFinalActions;
    bool m_unattended = false;
    bool m_showViewReadme = false;
    bool m_viewReadmeChecked = false;
    bool m_showRunApplication = false;
    bool m_runApplicationChecked = false;
    bool m_viewReadme = false;
    bool m_runApplication = false;
};
