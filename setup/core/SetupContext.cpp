// SetupContext: loading the script's settings and texts, variables, languages and page plan.
#include "SetupContext.h"

#include <algorithm>

#include "LanguageText.h"
#include "SetupExceptions.h"

namespace {

struct TextRow {
    const char* section;
    const char* key;
    const char* variable;
};

// Dialog texts of the language file and the variables the pages read them from.
const TextRow textRows[] = {
    {"REINSTALL_DIALOG", "Dialog_Title", "ReinstallDialogTitle"},
    {"REINSTALL_DIALOG", "Static1", "ReinstallDialogText"},
    {"REINSTALL_DIALOG", "Yes", "ReinstallDialogYes"},
    {"REINSTALL_DIALOG", "No", "ReinstallDialogNo"},
    {"REINSTALL_DIALOG", "Cancel", "ReinstallDialogCancel"},
    {"REINSTALL_DIALOG", "Error1", "ReinstallDialogError1"},
    {"LANGUAGE_DIALOG", "Dialog_Title", "LanguageTitle"},
    {"LANGUAGE_DIALOG", "Static1", "LanguageText1"},
    {"LANGUAGE_DIALOG", "Next", "LanguageNext"},
    {"LANGUAGE_DIALOG", "Cancel", "LanguageCancel"},
    {"WELCOME_DIALOG", "Dialog_Title", "WelcomeTitle"},
    {"WELCOME_DIALOG", "Static1", "WelcomeText1"},
    {"WELCOME_DIALOG", "Static2", "WelcomeText2"},
    {"WELCOME_DIALOG", "Static3", "WelcomeText3"},
    {"WELCOME_DIALOG", "Static4", "WelcomeText4"},
    {"WELCOME_DIALOG", "Back", "WelcomeBack"},
    {"WELCOME_DIALOG", "Next", "WelcomeNext"},
    {"WELCOME_DIALOG", "Cancel", "WelcomeCancel"},
    {"LICENSE_DIALOG", "Dialog_Title", "LicenseTitle"},
    {"LICENSE_DIALOG", "Static1", "LicenseText1"},
    {"LICENSE_DIALOG", "Static2", "LicenseText2"},
    {"LICENSE_DIALOG", "Back", "LicenseBack"},
    {"LICENSE_DIALOG", "Yes", "LicenseYes"},
    {"LICENSE_DIALOG", "No", "LicenseNo"},
    {"README_DIALOG", "Dialog_Title", "ReadmeTitle"},
    {"README_DIALOG", "Static1", "ReadmeText1"},
    {"README_DIALOG", "Back", "ReadmeBack"},
    {"README_DIALOG", "Next", "ReadmeNext"},
    {"README_DIALOG", "Cancel", "ReadmeCancel"},
    {"USER_INFO_DIALOG", "Dialog_Title", "UserInfoTitle"},
    {"USER_INFO_DIALOG", "Static1", "UserInfoText1"},
    {"USER_INFO_DIALOG", "Static2", "UserInfoText2"},
    {"USER_INFO_DIALOG", "Static3", "UserInfoText3"},
    {"USER_INFO_DIALOG", "Static4", "UserInfoText4"},
    {"USER_INFO_DIALOG", "Back", "UserInfoBack"},
    {"USER_INFO_DIALOG", "Next", "UserInfoNext"},
    {"USER_INFO_DIALOG", "Cancel", "UserInfoCancel"},
    {"TARGET_DIRECTORY_DIALOG", "Dialog_Title", "TargetDirTitle"},
    {"TARGET_DIRECTORY_DIALOG", "Static1", "TargetDirText1"},
    {"TARGET_DIRECTORY_DIALOG", "Static2", "TargetDirText2"},
    {"TARGET_DIRECTORY_DIALOG", "Static3", "TargetDirText3"},
    {"TARGET_DIRECTORY_DIALOG", "Static4", "TargetDirText4"},
    {"TARGET_DIRECTORY_DIALOG", "Static5", "TargetDirText5"},
    {"TARGET_DIRECTORY_DIALOG", "Static7", "TargetDirText7"},
    {"TARGET_DIRECTORY_DIALOG", "Browse", "TargetDirBrowse"},
    {"TARGET_DIRECTORY_DIALOG", "Back", "TargetDirBack"},
    {"TARGET_DIRECTORY_DIALOG", "Next", "TargetDirNext"},
    {"TARGET_DIRECTORY_DIALOG", "Cancel", "TargetDirCancel"},
    {"CHOOSE_DIRECTORY_DIALOG", "Dialog_Title", "ChooseDirTitle"},
    {"CHOOSE_DIRECTORY_DIALOG", "Static1", "ChooseDirText1"},
    {"PROGRAM_GROUP_DIALOG", "Dialog_Title", "ProgmanTitle"},
    {"PROGRAM_GROUP_DIALOG", "Static1", "ProgmanText1"},
    {"PROGRAM_GROUP_DIALOG", "Static2", "ProgmanText2"},
    {"PROGRAM_GROUP_DIALOG", "Static3", "ProgmanText3"},
    {"PROGRAM_GROUP_DIALOG", "Back", "ProgmanBack"},
    {"PROGRAM_GROUP_DIALOG", "Next", "ProgmanNext"},
    {"PROGRAM_GROUP_DIALOG", "Cancel", "ProgmanCancel"},
    {"START_DIALOG", "Dialog_Title", "StartTitle"},
    {"START_DIALOG", "Static1", "StartSText1"},
    {"START_DIALOG", "Static2", "StartSText2"},
    {"START_DIALOG", "String1", "StartEText1"},
    {"START_DIALOG", "String2", "StartEText2"},
    {"START_DIALOG", "Back", "StartBack"},
    {"START_DIALOG", "Next", "StartNext"},
    {"START_DIALOG", "Cancel", "StartCancel"},
    {"PROCESS_DIALOG", "Dialog_Title", "ProcessTitle"},
    {"PROCESS_DIALOG", "Cancel", "ProcessCancel"},
    {"FINISH_DIALOG", "Dialog_Title", "FinishTitle"},
    {"FINISH_DIALOG", "Static1", "FinishText1"},
    {"FINISH_DIALOG", "Static2", "FinishText2"},
    {"FINISH_DIALOG", "Back", "FinishBack"},
    {"FINISH_DIALOG", "Finish", "FinishFinish"},
    {"EXIT_SETUP_DIALOG", "Dialog_Title", "ExitSetupTitle"},
    {"EXIT_SETUP_DIALOG", "Static1", "ExitSetupText1"},
    {"EXIT_SETUP_DIALOG", "Static2", "ExitSetupText2"},
    {"EXIT_SETUP_DIALOG", "Static3", "ExitSetupText3"},
    {"EXIT_SETUP_DIALOG", "Resume", "ExitResume"},
    {"EXIT_SETUP_DIALOG", "Exit", "ExitExit"},
};

const char* const systemRequirementKeys[] = {"AnyWindows", "Windows95",   "Windows98", "WindowsME",
                                             "WindowsNT4", "Windows2000", "WindowsXP", "AbortInstallation"};

const char* const dialogKeys[] = {"SplashWindow",          "SetupWindow",        "CustomDialogImage", "LanguageDialog",
                                  "WelcomeDialog",         "LicenseDialog",      "ReadmeDialog",      "UserInfoDialog",
                                  "TargetDirectoryDialog", "ProgramGroupDialog", "StartDialog",       "FinishDialog"};

const char* const setupWindowKeys[] = {
    "WindowTitle",    "GradientFill",    "ColorFrom",           "ColorTo",      "Heading",
    "HeadingFont",    "HeadingColor",    "HeadingAlignment",    "Heading3D",    "Subheading",
    "SubheadingFont", "SubheadingColor", "SubheadingAlignment", "Subheading3D", "Footer",
    "FooterFont",     "FooterColor",     "FooterAlignment",     "Footer3D"};

// The dialog flags of pages 0 to 7, in page order.
const char* const pageDialogVariables[] = {"DlgLanguageDialog",     "DlgWelcomeDialog",  "DlgLicenseDialog",
                                           "DlgReadmeDialog",       "DlgUserInfoDialog", "DlgTargetDirectoryDialog",
                                           "DlgProgramGroupDialog", "DlgStartDialog"};

std::string afterLastBackslash(const std::string& path)
{
    std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(slash + 1);
}

} // namespace

SetupContext::SetupContext(SetupPlatform& platform) : m_platform(platform)
{
    m_programFolder = m_platform.programFolder();
    defineProgramFiles();
    loadScript("Setup.ini");
    if (!m_platform.fileExists("setup.zip"))
        throw FileException("setup.zip", FileNotFound);
}

SetupContext::~SetupContext()
{
    try {
        writeInstallLog();
    } catch (...) {
    }
}

void SetupContext::defineProgramFiles()
{
    std::string folder;
    if (!m_platform.machineSoftwareString("Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", folder))
        folder = "C:\\Program Files";
    setVariable("ProgramFiles", folder);
}

void SetupContext::defineFolders()
{
    WindowsVersion version = m_platform.windowsVersion();
    bool nt = version.isNT();
    setVariable("SetupDir", m_programFolder);
    setVariable("WinDir", m_platform.windowsDirectory());
    setVariable("WinSysDir", m_platform.systemDirectory());
    setVariable("Desktop", m_platform.shellFolder(ShellFolder::Desktop));
    setVariable("StartUp", m_platform.shellFolder(ShellFolder::StartUp));
    setVariable("StartMenu", m_platform.shellFolder(ShellFolder::StartMenu));
    std::string programs = m_platform.shellFolder(ShellFolder::Programs);
    setVariable("StartMenuPrograms", programs);
    setVariable("AppSCFolder", programs + "\\%OutputProgramGroup%");
    // Windows 95, 98 and ME have no all-users folders: shortcuts "for everybody" go to the
    // user's own ones.
    setVariable("CommonDesktop", m_platform.shellFolder(nt ? ShellFolder::CommonDesktop : ShellFolder::Desktop));
    setVariable("CommonStartUp", m_platform.shellFolder(nt ? ShellFolder::CommonStartUp : ShellFolder::StartUp));
    setVariable("CommonStartMenu", m_platform.shellFolder(nt ? ShellFolder::CommonStartMenu : ShellFolder::StartMenu));
    std::string commonPrograms = m_platform.shellFolder(nt ? ShellFolder::CommonPrograms : ShellFolder::Programs);
    setVariable("CommonStartMenuPrograms", commonPrograms);
    setVariable("CommonAppSCFolder", commonPrograms + "\\%OutputProgramGroup%");
    setVariable("TempDir", m_platform.tempDirectory());
}

void SetupContext::loadScript(const std::string& fileName)
{
    defineFolders();
    m_script = std::make_unique<SetupScript>(m_platform.openScript(m_programFolder, fileName));
    readProductSettings();
    openLanguage();
    readInstallSettings();
    loadTexts("REINSTALL_DIALOG");
    readWindowSettings();
    readDialogSettings();
    loadTexts("PROCESS_DIALOG");
    if (variableIsTrue("DlgFinishDialog"))
        readFinishSettings();
    bool anyDialog = false;
    for (const char* name : pageDialogVariables)
        anyDialog = variableIsTrue(name) || anyDialog;
    if (anyDialog || variableIsTrue("DlgFinishDialog"))
        loadTexts("EXIT_SETUP_DIALOG");
    fillPagePlan();
}

void SetupContext::readProductSettings()
{
    static const char* const always[][2] = {
        {"ProductName", "ProductName"},       {"CompanyName", "CompanyName"},
        {"ProductVersion", "ProductVersion"}, {"ProductDescription", "ProductDescription"},
        {"ProductURL", "ProductURL"},         {"CopyrightNotice", "Copyright"},
    };
    for (const auto& row : always)
        setVariable(row[1], m_script->getString("GENERAL_INFO", row[0], std::string()));
    for (const char* key : {"EnableUninstaller", "AddRemoveProgramsDescription", "SetupType"})
        setVariable(key, m_script->getString("SETUP_INFO", key, std::string()));
    m_unattended = variableNumber("SetupType", 10) == 1;

    std::string commonFiles = "C:\\Program Files\\Common Files";
    std::string registered;
    if (m_platform.commonFilesDir(registered))
        commonFiles = registered;
    setVariable("CommonFiles", commonFiles);

    std::string path = m_script->getString("SETUP_INFO", "DefaultInstallationPath", std::string());
    expandVariables(path);
    setVariable("DefaultInstallationPath", path);
    setVariable("AppDir", path);
    setVariable("DefaultDirectoryName", afterLastBackslash(path));

    std::string group = m_script->getString("SETUP_INFO", "DefaultShortcutFolderName", std::string());
    expandVariables(group);
    setVariable("DefaultShortcutFolderName", group);
    setVariable("OutputProgramGroup", group);

    copyToVariable("SETUP_INFO", "DefaultSetupLanguage");
    copyToVariable("SETUP_INFO", "SetupLanguages");
}

void SetupContext::openLanguage()
{
    std::string name = getVariable("DefaultSetupLanguage", true);
    std::string fileName = name.empty() ? std::string("English.dat") : name + ".dat";
    m_language = std::make_unique<SetupScript>(m_platform.openScript(m_programFolder, fileName));
}

void SetupContext::readInstallSettings()
{
    copyToVariable("SETUP_INFO", "RequiredDiskSpace");
    for (const char* key : systemRequirementKeys)
        copyToVariable("SYSTEM_REQUIREMENTS", key, std::string("SysReq") + key);

    if (m_script->getBool("RUNAPPS", "RunBeforeInstall", false)) {
        std::string program = m_script->getString("RUNAPPS", "BeforeInstall", std::string());
        expandVariables(program);
        m_beforeInstallProgram = ProgramRecord::parse(program);
    }
    if (m_script->getBool("RUNAPPS", "RunAfterInstall", false)) {
        std::string program = m_script->getString("RUNAPPS", "AfterInstall", std::string());
        if (!program.empty())
            m_afterInstallProgram = program;
    }
    if (m_script->getBool("RUNAPPS", "RunBeforeUninstall", false)) {
        std::string program = m_script->getString("RUNAPPS", "BeforeUninstall", std::string());
        if (!program.empty())
            m_beforeUninstallProgram = program;
    }
    for (const char* key : dialogKeys)
        copyToVariable("DIALOGS", key, std::string("Dlg") + key);
}

void SetupContext::readWindowSettings()
{
    if (variableIsTrue("DlgSplashWindow"))
        copyToVariable("SPLASH_WINDOW", "Bitmap_Pathname", "SplWBitmap_Pathname");
    if (variableIsTrue("DlgCustomDialogImage"))
        copyToVariable("DIALOGS", "CustomDialogBitmap_Pathname", "CustomDlgBitmap_Pathname");
    if (variableIsTrue("DlgSetupWindow"))
        for (const char* key : setupWindowKeys)
            copyToVariable("SETUP_WINDOW", key, std::string("SW") + key);
}

void SetupContext::readDialogSettings()
{
    if (variableIsTrue("DlgLanguageDialog"))
        loadTexts("LANGUAGE_DIALOG");
    if (variableIsTrue("DlgWelcomeDialog"))
        loadTexts("WELCOME_DIALOG");
    if (variableIsTrue("DlgLicenseDialog")) {
        copyToVariable("LICENSE_DIALOG", "License_Pathname");
        loadTexts("LICENSE_DIALOG");
    }
    if (variableIsTrue("DlgReadmeDialog")) {
        copyToVariable("README_DIALOG", "Readme_Pathname");
        loadTexts("README_DIALOG");
    }
    loadDialogTexts(false);
}

// The pages from User information to Start, at load and again at a language switch.
void SetupContext::loadDialogTexts(bool reload)
{
    if (reload) {
        if (variableIsTrue("DlgWelcomeDialog"))
            loadTexts("WELCOME_DIALOG");
        if (variableIsTrue("DlgLicenseDialog"))
            loadTexts("LICENSE_DIALOG");
        if (variableIsTrue("DlgReadmeDialog"))
            loadTexts("README_DIALOG");
    }
    if (variableIsTrue("DlgUserInfoDialog"))
        loadTexts("USER_INFO_DIALOG");
    if (variableIsTrue("DlgTargetDirectoryDialog")) {
        loadTexts("TARGET_DIRECTORY_DIALOG");
        loadTexts("CHOOSE_DIRECTORY_DIALOG");
    }
    if (variableIsTrue("DlgProgramGroupDialog"))
        loadTexts("PROGRAM_GROUP_DIALOG");
    if (variableIsTrue("DlgStartDialog"))
        loadTexts("START_DIALOG");
}

void SetupContext::readFinishSettings()
{
    loadTexts("FINISH_DIALOG");
    m_showViewReadme = m_script->getBool("FINISH_DIALOG", "Show_ViewReadme_CheckBox", false);
    if (m_showViewReadme) {
        m_viewReadmeChecked = m_script->getBool("FINISH_DIALOG", "Show_ViewReadme_Checked", false);
        copyTextToVariable("FINISH_DIALOG", "Check1", "FinishCheck1");
        copyToVariable("FINISH_DIALOG", "Readme_Pathname", "FinalReadmePathname");
    }
    m_showRunApplication = m_script->getBool("FINISH_DIALOG", "Show_RunApplication_CheckBox", false);
    if (m_showRunApplication) {
        m_runApplicationChecked = m_script->getBool("FINISH_DIALOG", "Show_RunApplication_Checked", false);
        copyTextToVariable("FINISH_DIALOG", "Check2", "FinishCheck2");
        copyToVariable("FINISH_DIALOG", "Application_Pathname");
    }
}

void SetupContext::fillPagePlan()
{
    for (std::int32_t& enabled : m_pageEnabled)
        enabled = 0;
    m_pageEnabled[PageFinalActions] = 1;
    if (m_unattended) {
        m_pageEnabled[PageProcess] = 1;
        m_startPage = PageProcess;
        m_currentPage = PageFinalActions;
        return;
    }
    for (int page = PageLanguage; page <= PageStart; ++page)
        m_pageEnabled[page] = variableIsTrue(pageDialogVariables[page]) ? 1 : 0;
    m_pageEnabled[PageProcess] = variableIsTrue("Imitation") ? 0 : 1;
    m_pageEnabled[PageFinish] = variableIsTrue("DlgFinishDialog") ? 1 : 0;
    for (int page = PageLanguage; page <= PageStart; ++page) {
        if (m_pageEnabled[page] != 0) {
            m_startPage = m_currentPage = page;
            return;
        }
    }
    m_startPage = PageProcess;
    m_currentPage = m_pageEnabled[PageFinish] != 0 ? PageFinish : PageFinalActions;
}

void SetupContext::loadTexts(const char* section)
{
    const std::string name = section;
    for (const TextRow& row : textRows)
        if (name == row.section)
            copyTextToVariable(row.section, row.key, row.variable);
}

std::size_t SetupContext::copyToVariable(const std::string& section, const std::string& key,
                                         const std::string& variableName)
{
    std::string value = m_script->getString(section, key, std::string());
    if (!value.empty())
        setVariable(variableName.empty() ? key : variableName, value);
    return value.size();
}

std::size_t SetupContext::copyTextToVariable(const std::string& section, const std::string& key,
                                             const std::string& variableName)
{
    std::string value = m_language->getString(section, key, std::string());
    if (!value.empty())
        setVariable(variableName.empty() ? key : variableName, value);
    return value.size();
}

std::string SetupContext::getVariable(const std::string& name, bool expand)
{
    return m_variables.get(name, expand);
}

void SetupContext::setVariable(const std::string& name, const std::string& value)
{
    m_variables.set(name, value);
}

bool SetupContext::variableIsTrue(const std::string& name)
{
    return textIsTrue(getVariable(name, true));
}

std::uint32_t SetupContext::variableNumber(const std::string& name, int base)
{
    return textToUnsigned(getVariable(name, true), base);
}

void SetupContext::expandVariables(std::string& text) const
{
    m_variables.expand(text);
}

bool SetupContext::languageName(std::size_t index, std::string& name)
{
    if (languageListItem(getVariable("SetupLanguages", true), index, name))
        return true;
    name = "English";
    return false;
}

bool SetupContext::switchLanguage(const std::string& name)
{
    // The new file is read before the old one goes, so a failed switch leaves a usable context.
    m_language = std::make_unique<SetupScript>(m_platform.openScript(m_programFolder, name + ".dat"));
    setVariable("DefaultSetupLanguage", name);
    loadDialogTexts(true);
    loadTexts("PROCESS_DIALOG");
    if (variableIsTrue("DlgFinishDialog")) {
        loadTexts("FINISH_DIALOG");
        copyTextToVariable("FINISH_DIALOG", "Check1", "FinishCheck1");
        copyTextToVariable("FINISH_DIALOG", "Check2", "FinishCheck2");
    }
    loadTexts("EXIT_SETUP_DIALOG");
    return true;
}

std::string SetupContext::message(int number) const
{
    return m_language->getString("STRINGS", std::to_string(number), std::string());
}

std::string SetupContext::formatMessage(int number, const std::string& argument) const
{
    return replaceFirstArgument(message(number), argument);
}

FontSpec SetupContext::fontSpec(const std::string& variableName)
{
    return parseFontSpec(getVariable(variableName, true));
}

bool SetupContext::pageEnabled(std::int32_t page) const
{
    return page >= 0 && page < PageCount && m_pageEnabled[page] != 0;
}

std::int32_t SetupContext::nextEnabledPage() const
{
    for (std::int32_t page = m_currentPage + 1; page < PageCount; ++page)
        if (page >= 0 && m_pageEnabled[page] != 0)
            return page;
    return -1;
}

std::int32_t SetupContext::previousEnabledPage() const
{
    for (std::int32_t page = std::min<std::int32_t>(m_currentPage, PageCount) - 1; page >= 0; --page)
        if (m_pageEnabled[page] != 0)
            return page;
    return -1;
}

InstallLog* SetupContext::openInstallLog(bool imitation)
{
    writeInstallLog();
    m_installLog = std::make_unique<InstallLog>(getVariable("AppDir", true), "setup.log", imitation);
    m_installLog->addCommon("Application_Name=" + getVariable("ProductName", true));
    for (std::size_t n = 0; n <= 12; ++n) {
        std::string line;
        m_language->getLine("UNINSTALL_DIALOG", n, line);
        m_installLog->addCommon(line);
    }
    if (m_beforeUninstallProgram) {
        expandVariables(*m_beforeUninstallProgram);
        m_installLog->addEntry(InstallLog::RunBeforeRemoval, "BeforeUninstall=" + *m_beforeUninstallProgram);
    }
    return m_installLog.get();
}

void SetupContext::writeInstallLog()
{
    // Let go first: a log that failed once is not tried again by the destructor.
    std::unique_ptr<InstallLog> log = std::move(m_installLog);
    if (log && !log->disabled() && !m_platform.writeFile(log->path(), log->text()))
        throw FileException(log->path(), FileDiskFull);
}
