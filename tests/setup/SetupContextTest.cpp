// SetupContext on an in-memory system: settings, folders, texts, languages and the page plan.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "FakePlatform.h"
#include "SetupContext.h"
#include "SetupExceptions.h"

namespace {

std::string crlf(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

const std::string englishText = crlf({
    "[REINSTALL_DIALOG]",
    "Dialog_Title=Reinstall %ProductName%",
    "Yes=Yes",
    "[LANGUAGE_DIALOG]",
    "Dialog_Title=Language",
    "Next=Next >",
    "[WELCOME_DIALOG]",
    "Dialog_Title=Welcome to %ProductName%",
    "Static1=W1",
    "Static2=W2",
    "Next=Next >",
    "[LICENSE_DIALOG]",
    "Dialog_Title=License",
    "Yes=I agree",
    "[README_DIALOG]",
    "Dialog_Title=Readme",
    "[USER_INFO_DIALOG]",
    "Dialog_Title=User",
    "[TARGET_DIRECTORY_DIALOG]",
    "Dialog_Title=Target",
    "Static5=T5",
    "Static6=T6",
    "Static7=T7",
    "Browse=Browse...",
    "[CHOOSE_DIRECTORY_DIALOG]",
    "Dialog_Title=Choose",
    "Static1=Pick a folder",
    "[PROGRAM_GROUP_DIALOG]",
    "Dialog_Title=Group",
    "[START_DIALOG]",
    "Dialog_Title=Start",
    "String1=E1",
    "[PROCESS_DIALOG]",
    "Dialog_Title=Installing",
    "Cancel=Cancel",
    "[FINISH_DIALOG]",
    "Dialog_Title=Done",
    "Check1=View readme",
    "Check2=Run it",
    "Finish=Finish",
    "[EXIT_SETUP_DIALOG]",
    "Dialog_Title=Exit",
    "Resume=Resume",
    "[UNINSTALL_DIALOG]",
    "u0",
    "u1=x",
    "",
    "u2",
    ";u3",
    "u4",
    "[STRINGS]",
    "1=Requirements",
    "21=Needs %1 and %1",
    "010=leading zero",
});

const std::string germanText = crlf({
    "[REINSTALL_DIALOG]",
    "Dialog_Title=Neu installieren",
    "[LANGUAGE_DIALOG]",
    "Dialog_Title=Sprache",
    "[WELCOME_DIALOG]",
    "Dialog_Title=Willkommen",
    "Static1=G1",
    "[PROCESS_DIALOG]",
    "Dialog_Title=Installation",
    "[FINISH_DIALOG]",
    "Check1=Liesmich",
    "Check2=Starten",
    "[EXIT_SETUP_DIALOG]",
    "Dialog_Title=Beenden",
    "[STRINGS]",
    "1=Voraussetzungen",
});

class SetupContextTest : public ::testing::Test {
protected:
    FakePlatform platform;

    void SetUp() override { platform.files["English.dat"] = englishText; }
    void script(std::initializer_list<const char*> lines) { platform.files["Setup.ini"] = crlf(lines); }
};

TEST_F(SetupContextTest, ProductSettingsAreAlwaysSet)
{
    script({"[GENERAL_INFO]", "ProductName=Telvane", "CompanyName=Velmora", "ProductVersion=1.0",
            "CopyrightNotice=(c) Velmora", "[SETUP_INFO]", "EnableUninstaller=Y"});
    SetupContext context(platform);
    EXPECT_EQ(context.productName(), "Telvane");
    EXPECT_EQ(context.companyName(), "Velmora");
    EXPECT_EQ(context.productVersion(), "1.0");
    EXPECT_EQ(context.getVariable("Copyright"), "(c) Velmora");
    EXPECT_FALSE(context.variableExists("CopyrightNotice"));
    EXPECT_TRUE(context.variableIsTrue("EnableUninstaller"));
    for (const char* name :
         {"ProductDescription", "ProductURL", "AddRemoveProgramsDescription", "SetupType", "DefaultInstallationPath",
          "AppDir", "DefaultDirectoryName", "DefaultShortcutFolderName", "OutputProgramGroup"})
        EXPECT_TRUE(context.variableExists(name)) << name;
    // Rows read "if non-empty" leave their variables undefined, unless the load itself read them.
    for (const char* name : {"SetupLanguages", "RequiredDiskSpace", "SysReqAnyWindows", "SWWindowTitle"})
        EXPECT_FALSE(context.variableExists(name)) << name;
    EXPECT_EQ(context.getVariable("DefaultSetupLanguage"), "");
    EXPECT_FALSE(context.variableIsTrue("DlgWelcomeDialog"));
    EXPECT_EQ(platform.opened, (std::vector<std::string>{"C:\\Setup\\Setup.ini", "C:\\Setup\\English.dat"}));
}

TEST_F(SetupContextTest, SetupTypeOneMeansUnattended)
{
    const struct {
        const char* line;
        bool unattended;
    } cases[] = {{"SetupType=1", true}, {"SetupType=01", true},   {"SetupType= 1", true},  {"SetupType=2", false},
                 {"SetupType=", false}, {"SetupType=one", false}, {"SetupType=11", false}, {"Other=1", false}};
    for (const auto& c : cases) {
        script({"[SETUP_INFO]", c.line, "[DIALOGS]", "WelcomeDialog=Y", "FinishDialog=Y"});
        SetupContext context(platform);
        EXPECT_EQ(context.unattended(), c.unattended) << c.line;
        if (c.unattended) {
            for (int page = 0; page < PageCount; ++page)
                EXPECT_EQ(context.pageEnabled(page), page == PageProcess || page == PageFinalActions) << page;
            EXPECT_EQ(context.startPage(), PageProcess);
            EXPECT_EQ(context.currentPage(), PageFinalActions);
        } else {
            EXPECT_EQ(context.startPage(), PageWelcome) << c.line;
        }
    }
}

TEST_F(SetupContextTest, InstallationTargetIsExpandedAtLoad)
{
    const struct {
        const char* pathLine;
        const char* appDir;
        const char* directoryName;
    } cases[] = {
        {"DefaultInstallationPath=%ProgramFiles%\\Telvane", "D:\\Programs\\Telvane", "Telvane"},
        {"DefaultInstallationPath=%CommonFiles%\\%ProductName%", "D:\\Programs\\Shared\\Telvane", "Telvane"},
        {"DefaultInstallationPath=Telvane", "Telvane", ""},
        {"DefaultInstallationPath=%ProgramFiles%\\", "D:\\Programs\\", ""},
        {"DefaultInstallationPath=%SourceDir%\\x", "%SourceDir%\\x", "x"},
        {"DefaultInstallationPath=%WinDir%\\%SetupType%x", "C:\\WINDOWS\\x", "x"},
    };
    for (const auto& c : cases) {
        script({"[GENERAL_INFO]", "ProductName=Telvane", "[SETUP_INFO]", c.pathLine,
                "DefaultShortcutFolderName=%CompanyName%\\%ProductName%"});
        SetupContext context(platform);
        EXPECT_EQ(context.appDir(), c.appDir) << c.pathLine;
        EXPECT_EQ(context.defaultInstallationPath(), c.appDir) << c.pathLine;
        EXPECT_EQ(context.getVariable("AppDir", false), c.appDir) << c.pathLine;
        EXPECT_EQ(context.defaultDirectoryName(), c.directoryName) << c.pathLine;
        EXPECT_EQ(context.programGroup(), "\\Telvane");
        EXPECT_EQ(context.defaultShortcutFolderName(), "\\Telvane");
    }
}

TEST_F(SetupContextTest, ReferenceToALaterVariableExpandsWhenRead)
{
    script({"[SETUP_INFO]", "DefaultInstallationPath=%SourceDir%\\app"});
    SetupContext context(platform);
    context.setVariable("SourceDir", "E:\\cd");
    EXPECT_EQ(context.appDir(), "E:\\cd\\app");
}

TEST_F(SetupContextTest, FolderVariables)
{
    script({"[SETUP_INFO]", "DefaultShortcutFolderName=Telvane"});
    const struct {
        WindowsVersion version;
        bool common;
    } systems[] = {{{1, 4, 10}, false}, {{1, 4, 0}, false}, {{1, 4, 90}, false},
                   {{2, 4, 0}, true},   {{2, 5, 1}, true},  {{2, 6, 1}, true}};
    for (const auto& system : systems) {
        platform.version = system.version;
        SetupContext context(platform);
        SCOPED_TRACE(system.common ? "NT" : "9x");
        EXPECT_EQ(context.getVariable("ProgramFiles"), "D:\\Programs");
        EXPECT_EQ(context.getVariable("CommonFiles"), "D:\\Programs\\Shared");
        EXPECT_EQ(context.getVariable("SetupDir"), "C:\\Setup");
        EXPECT_EQ(context.getVariable("WinDir"), "C:\\WINDOWS");
        EXPECT_EQ(context.getVariable("WinSysDir"), "C:\\WINDOWS\\system32");
        EXPECT_EQ(context.getVariable("TempDir"), "C:\\TEMP\\");
        EXPECT_EQ(context.getVariable("Desktop"), "C:\\User\\Desktop");
        EXPECT_EQ(context.getVariable("StartMenuPrograms"), "C:\\User\\Start Menu\\Programs");
        EXPECT_EQ(context.getVariable("AppSCFolder", false), "C:\\User\\Start Menu\\Programs\\%OutputProgramGroup%");
        EXPECT_EQ(context.getVariable("AppSCFolder"), "C:\\User\\Start Menu\\Programs\\Telvane");
        const char* prefix = system.common ? "C:\\All" : "C:\\User";
        EXPECT_EQ(context.getVariable("CommonDesktop"), std::string(prefix) + "\\Desktop");
        EXPECT_EQ(context.getVariable("CommonStartUp"), std::string(prefix) + "\\Start Menu\\Programs\\StartUp");
        EXPECT_EQ(context.getVariable("CommonStartMenu"), std::string(prefix) + "\\Start Menu");
        EXPECT_EQ(context.getVariable("CommonStartMenuPrograms"), std::string(prefix) + "\\Start Menu\\Programs");
        EXPECT_EQ(context.getVariable("CommonAppSCFolder"), std::string(prefix) + "\\Start Menu\\Programs\\Telvane");
        context.setOutputProgramGroup("Other");
        EXPECT_EQ(context.getVariable("AppSCFolder"), "C:\\User\\Start Menu\\Programs\\Other");
    }
}

TEST_F(SetupContextTest, RegistryFallbacks)
{
    script({"[SETUP_INFO]"});
    platform.programFilesPresent = false;
    platform.commonFilesPresent = false;
    SetupContext context(platform);
    EXPECT_EQ(context.getVariable("ProgramFiles"), "C:\\Program Files");
    EXPECT_EQ(context.getVariable("CommonFiles"), "C:\\Program Files\\Common Files");
}

TEST_F(SetupContextTest, FailuresOfTheFiles)
{
    // Setup.ini missing.
    try {
        SetupContext context(platform);
        FAIL() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName, "Setup.ini");
        EXPECT_EQ(e.kind, FileCannotOpen);
    }
    // The language named by DefaultSetupLanguage missing.
    script({"[SETUP_INFO]", "DefaultSetupLanguage=Klingon"});
    try {
        SetupContext context(platform);
        FAIL() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName, "Klingon.dat");
        EXPECT_EQ(e.kind, FileCannotOpen);
    }
    // The package missing.
    script({"[SETUP_INFO]"});
    platform.packagePresent = false;
    try {
        SetupContext context(platform);
        FAIL() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName, "setup.zip");
        EXPECT_EQ(e.kind, FileNotFound);
    }
    // The Windows version query failing ends the construction with what it threw.
    platform.packagePresent = true;
    platform.versionFails = true;
    EXPECT_THROW(SetupContext context(platform), int);
}

TEST_F(SetupContextTest, ChosenLanguageFile)
{
    platform.files["German.dat"] = germanText;
    script({"[SETUP_INFO]", "DefaultSetupLanguage=German", "[DIALOGS]", "WelcomeDialog=Y"});
    SetupContext context(platform);
    EXPECT_EQ(platform.opened.back(), "C:\\Setup\\German.dat");
    EXPECT_EQ(context.getVariable("WelcomeTitle"), "Willkommen");
}

TEST_F(SetupContextTest, SettingsRowsAndBothTruthRules)
{
    script({"[GENERAL_INFO]",
            "ProductName=P",
            "[SETUP_INFO]",
            "RequiredDiskSpace=1024",
            "[SYSTEM_REQUIREMENTS]",
            "AnyWindows=N",
            "Windows95=Y",
            "Windows98=yes",
            "WindowsME=true",
            "WindowsNT4=1",
            "Windows2000=0",
            "WindowsXP=",
            "AbortInstallation=y",
            "[DIALOGS]",
            "SplashWindow=Y",
            "SetupWindow=1",
            "CustomDialogImage=Y",
            "LicenseDialog=Y",
            "ReadmeDialog=yes",
            "WelcomeDialog=true",
            "CustomDialogBitmap_Pathname=side.bmp",
            "[SPLASH_WINDOW]",
            "Bitmap_Pathname=splash.bmp",
            "[SETUP_WINDOW]",
            "WindowTitle=%ProductName% Setup",
            "ColorFrom=0000FF",
            "HeadingFont=Tahoma,20,",
            "Footer3D=Y",
            "[LICENSE_DIALOG]",
            "License_Pathname=license.txt",
            "[README_DIALOG]",
            "Readme_Pathname=readme.txt"});
    SetupContext context(platform);
    EXPECT_EQ(context.variableNumber("RequiredDiskSpace", 10), 1024u);
    EXPECT_FALSE(context.variableIsTrue("SysReqAnyWindows"));
    EXPECT_TRUE(context.variableIsTrue("SysReqWindows95"));
    EXPECT_TRUE(context.variableIsTrue("SysReqWindows98"));
    EXPECT_FALSE(context.variableIsTrue("SysReqWindowsME"));
    EXPECT_TRUE(context.variableIsTrue("SysReqWindowsNT4"));
    EXPECT_FALSE(context.variableIsTrue("SysReqWindows2000"));
    EXPECT_FALSE(context.variableExists("SysReqWindowsXP"));
    EXPECT_TRUE(context.variableIsTrue("SysReqAbortInstallation"));
    EXPECT_EQ(context.getVariable("SplWBitmap_Pathname"), "splash.bmp");
    EXPECT_EQ(context.getVariable("CustomDlgBitmap_Pathname"), "side.bmp");
    EXPECT_EQ(context.getVariable("SWWindowTitle"), "P Setup");
    EXPECT_EQ(context.variableNumber("SWColorFrom", 16), 0xFFu);
    EXPECT_TRUE(context.variableIsTrue("SWFooter3D"));
    EXPECT_EQ(context.fontSpec("SWHeadingFont").faceName, "Tahoma");
    EXPECT_EQ(context.fontSpec("SWFooterFont").faceName, "Arial");
    EXPECT_EQ(context.getVariable("License_Pathname"), "license.txt");
    EXPECT_EQ(context.getVariable("Readme_Pathname"), "readme.txt");
    // "true" is no truth for a dialog flag: the Welcome page stays off and its texts unread.
    EXPECT_FALSE(context.pageEnabled(PageWelcome));
    EXPECT_FALSE(context.variableExists("WelcomeTitle"));
    EXPECT_EQ(context.getVariable("LicenseYes"), "I agree");
    EXPECT_EQ(context.getVariable("ReadmeTitle"), "Readme");
    EXPECT_EQ(context.startPage(), PageLicense);
}

TEST_F(SetupContextTest, RowsOfDisabledDialogsAreNotRead)
{
    script({"[DIALOGS]", "SplashWindow=N", "LicenseDialog=N", "[SPLASH_WINDOW]", "Bitmap_Pathname=splash.bmp",
            "[SETUP_WINDOW]", "WindowTitle=Title", "[LICENSE_DIALOG]", "License_Pathname=license.txt"});
    SetupContext context(platform);
    for (const char* name : {"SplWBitmap_Pathname", "SWWindowTitle", "License_Pathname", "LicenseTitle",
                             "ExitSetupTitle", "FinishTitle", "LanguageTitle"})
        EXPECT_FALSE(context.variableExists(name)) << name;
    // Always loaded: the reinstall question and the progress page.
    EXPECT_EQ(context.getVariable("ReinstallDialogTitle", false), "Reinstall %ProductName%");
    EXPECT_EQ(context.getVariable("ProcessTitle"), "Installing");
}

TEST_F(SetupContextTest, RunPrograms)
{
    script({"[GENERAL_INFO]", "ProductName=P", "[RUNAPPS]", "RunBeforeInstall=yes",
            "BeforeInstall=%SetupDir%\\pre.exe,-q,x,5,0,1", "RunAfterInstall=TRUE", "AfterInstall=%AppDir%\\post.exe",
            "RunBeforeUninstall=1", "BeforeUninstall=%AppDir%\\stop.exe"});
    SetupContext context(platform);
    ASSERT_TRUE(context.beforeInstallProgram());
    EXPECT_EQ(context.beforeInstallProgram()->program, "C:\\Setup\\pre.exe");
    EXPECT_EQ(context.beforeInstallProgram()->arguments, "-q");
    EXPECT_EQ(context.beforeInstallProgram()->show, 5);
    EXPECT_EQ(context.beforeInstallProgram()->noWait, 1);
    ASSERT_TRUE(context.afterInstallProgram());
    EXPECT_EQ(*context.afterInstallProgram(), "%AppDir%\\post.exe");
    ASSERT_TRUE(context.beforeUninstallProgram());
    EXPECT_EQ(*context.beforeUninstallProgram(), "%AppDir%\\stop.exe");

    script({"[RUNAPPS]", "RunBeforeInstall=Y", "BeforeInstall=pre.exe", "RunAfterInstall=1",
            "AfterInstall=", "BeforeUninstall=stop.exe"});
    SetupContext second(platform);
    EXPECT_FALSE(second.beforeInstallProgram()); // "Y" is no truth for getBool
    EXPECT_FALSE(second.afterInstallProgram());
    EXPECT_FALSE(second.beforeUninstallProgram());

    script({"[RUNAPPS]", "RunBeforeInstall=1"});
    SetupContext third(platform);
    ASSERT_TRUE(third.beforeInstallProgram());
    EXPECT_EQ(third.beforeInstallProgram()->commandLine(), " ");
    EXPECT_EQ(third.beforeInstallProgram()->show, 0);
}

TEST_F(SetupContextTest, FinishDialogSettings)
{
    script({"[DIALOGS]", "FinishDialog=Y", "[FINISH_DIALOG]", "Show_ViewReadme_CheckBox=yes",
            "Show_ViewReadme_Checked=1", "Readme_Pathname=%AppDir%\\readme.txt", "Show_RunApplication_CheckBox=no",
            "Show_RunApplication_Checked=yes", "Application_Pathname=app.exe"});
    SetupContext context(platform);
    EXPECT_TRUE(context.showViewReadme());
    EXPECT_TRUE(context.viewReadmeChecked());
    EXPECT_FALSE(context.showRunApplication());
    EXPECT_FALSE(context.runApplicationChecked());
    EXPECT_FALSE(context.viewReadme());
    EXPECT_FALSE(context.runApplication());
    EXPECT_EQ(context.getVariable("FinalReadmePathname", false), "%AppDir%\\readme.txt");
    EXPECT_FALSE(context.variableExists("Application_Pathname"));
    EXPECT_EQ(context.getVariable("FinishCheck1"), "View readme");
    EXPECT_FALSE(context.variableExists("FinishCheck2"));
    EXPECT_EQ(context.getVariable("FinishTitle"), "Done");
    EXPECT_EQ(context.getVariable("ExitSetupTitle"), "Exit");
    context.setViewReadme(true);
    EXPECT_TRUE(context.viewReadme());

    script({"[DIALOGS]", "FinishDialog=N", "[FINISH_DIALOG]", "Show_ViewReadme_CheckBox=yes",
            "Show_ViewReadme_Checked=yes"});
    SetupContext off(platform);
    EXPECT_FALSE(off.showViewReadme());
    EXPECT_FALSE(off.viewReadmeChecked());
}

TEST_F(SetupContextTest, PagePlan)
{
    const struct {
        const char* name;
        std::initializer_list<const char*> dialogs;
        const char* imitation;
        const char* enabled; // one character per page, "1" enabled
        int start, current, next, previous;
    } cases[] = {
        {"OnlyFinish", {"FinishDialog=Y"}, nullptr, "000000001101", 8, 9, 11, 8},
        {"Nothing", {}, nullptr, "000000001001", 8, 11, -1, 8},
        {"ImitationOnlyFinish", {"FinishDialog=Y"}, "Y", "000000000101", 8, 9, 11, -1},
        {"WelcomeAndStart", {"WelcomeDialog=Y", "StartDialog=1"}, nullptr, "010000011001", 1, 1, 7, -1},
        {"ImitationSkipsProcess", {"LanguageDialog=Y", "FinishDialog=Y"}, "Y", "100000000101", 0, 0, 9, -1},
        {"AllPages",
         {"LanguageDialog=Y", "WelcomeDialog=Y", "LicenseDialog=Y", "ReadmeDialog=Y", "UserInfoDialog=Y",
          "TargetDirectoryDialog=Y", "ProgramGroupDialog=Y", "StartDialog=Y", "FinishDialog=Y"},
         nullptr,
         "111111111101",
         0,
         0,
         1,
         -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = "[DIALOGS]\r\n";
        for (const char* line : c.dialogs)
            text += std::string(line) + "\r\n";
        platform.files["Setup.ini"] = text;
        // The entry point sets Imitation after construction and then fills the page plan again.
        SetupContext context(platform);
        if (c.imitation) {
            context.setVariable("Imitation", c.imitation);
            context.fillPagePlan();
        }
        std::string enabled;
        for (int page = 0; page < PageCount; ++page)
            enabled += context.pageEnabled(page) ? '1' : '0';
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(context.startPage(), c.start);
        EXPECT_EQ(context.currentPage(), c.current);
        EXPECT_EQ(context.nextEnabledPage(), c.next);
        EXPECT_EQ(context.previousEnabledPage(), c.previous);
    }
}

TEST_F(SetupContextTest, PageWalkFromTheLastDialogPageUnderImitation)
{
    script({"[DIALOGS]", "WelcomeDialog=Y", "StartDialog=Y", "FinishDialog=Y"});
    SetupContext context(platform);
    context.setVariable("Imitation", "Y");
    context.fillPagePlan();
    context.setCurrentPage(PageStart);
    EXPECT_EQ(context.nextEnabledPage(), PageFinish);
    EXPECT_EQ(context.previousEnabledPage(), PageWelcome);
    EXPECT_EQ(context.currentPage(), PageStart);
    context.setCurrentPage(PageFinalActions);
    EXPECT_EQ(context.nextEnabledPage(), -1);
    context.setCurrentPage(PageLanguage);
    EXPECT_EQ(context.previousEnabledPage(), -1);
}

TEST_F(SetupContextTest, LanguageNames)
{
    const struct {
        const char* line;
        std::size_t index;
        bool found;
        const char* name;
    } cases[] = {
        {"SetupLanguages=English,German,French", 0, true, "English"},
        {"SetupLanguages=English,German,French", 2, true, "French"},
        {"SetupLanguages=English,German,French", 3, false, "English"},
        {"SetupLanguages=German, French", 1, true, " French"},
        {"SetupLanguages=German,French,", 2, false, "English"},
        {"SetupLanguages=", 0, true, ""},
        {"SetupLanguages=", 1, false, "English"},
        {"Other=1", 0, true, ""},
    };
    for (const auto& c : cases) {
        script({"[SETUP_INFO]", c.line});
        SetupContext context(platform);
        std::string name = "stale";
        EXPECT_EQ(context.languageName(c.index, name), c.found) << c.line << " " << c.index;
        EXPECT_EQ(name, c.name) << c.line << " " << c.index;
    }
}

TEST_F(SetupContextTest, SwitchLanguageReloadsOnlyWhatItShould)
{
    platform.files["German.dat"] = germanText;
    script({"[DIALOGS]", "LanguageDialog=Y", "WelcomeDialog=Y", "FinishDialog=Y"});
    SetupContext context(platform);
    EXPECT_EQ(context.getVariable("WelcomeText2"), "W2");
    EXPECT_FALSE(context.variableExists("FinishCheck1"));
    EXPECT_TRUE(context.switchLanguage("German"));
    EXPECT_EQ(context.getVariable("DefaultSetupLanguage"), "German");
    EXPECT_EQ(context.getVariable("WelcomeTitle"), "Willkommen");
    EXPECT_EQ(context.getVariable("WelcomeText1"), "G1");
    EXPECT_EQ(context.getVariable("WelcomeText2"), "W2"); // missing in German: the English text stays
    EXPECT_EQ(context.getVariable("ProcessTitle"), "Installation");
    EXPECT_EQ(context.getVariable("ExitSetupTitle"), "Beenden");
    EXPECT_EQ(context.getVariable("FinishCheck1"), "Liesmich");
    EXPECT_EQ(context.getVariable("FinishCheck2"), "Starten");
    EXPECT_EQ(context.getVariable("FinishTitle"), "Done");
    // The language and reinstall texts keep the first file's words.
    EXPECT_EQ(context.getVariable("LanguageTitle"), "Language");
    EXPECT_EQ(context.getVariable("ReinstallDialogTitle", false), "Reinstall %ProductName%");
    EXPECT_EQ(context.message(1), "Voraussetzungen");

    try {
        context.switchLanguage("Klingon");
        FAIL() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName, "Klingon.dat");
        EXPECT_EQ(e.kind, FileCannotOpen);
    }
}

TEST_F(SetupContextTest, Messages)
{
    script({"[SETUP_INFO]"});
    SetupContext context(platform);
    EXPECT_EQ(context.message(1), "Requirements");
    EXPECT_EQ(context.message(10), "");
    EXPECT_EQ(context.message(99), "");
    EXPECT_EQ(context.formatMessage(21, "Windows 98"), "Needs Windows 98 and %1");
    EXPECT_EQ(context.formatMessage(22, "Windows 98"), "");
}

TEST_F(SetupContextTest, OpenInstallLog)
{
    script({"[GENERAL_INFO]", "ProductName=%CompanyName% Telvane", "CompanyName=Velmora", "[SETUP_INFO]",
            "DefaultInstallationPath=%ProgramFiles%\\Telvane", "[RUNAPPS]", "RunBeforeUninstall=yes",
            "BeforeUninstall=%AppDir%\\stop.exe,-q"});
    SetupContext context(platform);
    context.setAppDir("E:\\Telvane");
    InstallLog* log = context.openInstallLog(false);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log, context.installLog());
    EXPECT_EQ(log->path(), "E:\\Telvane\\setup.log");
    std::vector<std::string> expected = {"Application_Name=Velmora Telvane", "u0", "u1=x", "u2", ";u3", "u4"};
    expected.resize(14);
    EXPECT_EQ(log->commonLines(), expected);
    EXPECT_EQ(log->runAppsLines(), (std::vector<std::string>{"BeforeUninstall=E:\\Telvane\\stop.exe,-q"}));
    EXPECT_EQ(*context.beforeUninstallProgram(), "E:\\Telvane\\stop.exe,-q");

    EXPECT_EQ(log->lines(InstallLog::AppFiles), (std::vector<std::string>{"E:\\Telvane\\setup.log"}));
    EXPECT_TRUE(platform.written.empty()); // nothing is written while the installation runs

    // The log of an earlier run is written before the new one replaces it.
    InstallLog* imitation = context.openInstallLog(true);
    ASSERT_EQ(platform.written.count("E:\\Telvane\\setup.log"), 1u);
    EXPECT_EQ(platform.written["E:\\Telvane\\setup.log"].substr(0, 48),
              "[COMMON]\r\nApplication_Name=Velmora Telvane\r\nu0\r\n");
    EXPECT_TRUE(imitation->disabled());
    EXPECT_TRUE(imitation->commonLines().empty());
    EXPECT_TRUE(imitation->runAppsLines().empty());
    EXPECT_TRUE(imitation->lines(InstallLog::AppFiles).empty());
    platform.written.clear();
    context.writeInstallLog();
    EXPECT_TRUE(platform.written.empty()); // an imitation writes nothing
}

TEST_F(SetupContextTest, InstallLogWrittenOnceAtTheEnd)
{
    script({"[GENERAL_INFO]", "ProductName=P"});
    {
        SetupContext context(platform);
        context.setAppDir("");
        InstallLog* log = context.openInstallLog(false);
        // An empty installation folder still gives a rooted path, never a relative name.
        EXPECT_EQ(log->path(), "\\setup.log");
        context.writeInstallLog();
        EXPECT_EQ(platform.written.size(), 1u);
        EXPECT_EQ(context.installLog(), nullptr);
        platform.written.clear();
    }
    EXPECT_TRUE(platform.written.empty()); // the destructor does not write it again

    // A failed write reaches the caller as "The disk is full" with the path ...
    SetupContext failing(platform);
    failing.setAppDir("F:\\Full");
    failing.openInstallLog(false);
    platform.writeFails = true;
    try {
        failing.writeInstallLog();
        ADD_FAILURE() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.fileName, "F:\\Full\\setup.log");
        EXPECT_EQ(e.kind, FileDiskFull);
    }
    // ... and a context that is destroyed with an unwritten log swallows the failure.
    auto unwritten = std::make_unique<SetupContext>(platform);
    unwritten->openInstallLog(false);
    EXPECT_NO_THROW(unwritten.reset());
    EXPECT_TRUE(platform.written.empty());
}

} // namespace
