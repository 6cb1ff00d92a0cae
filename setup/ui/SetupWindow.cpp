// SetupWindow: splash and background, and the wizard flow driven by SetupCommand codes.
#include "SetupWindow.h"

#include <shellapi.h>

#include <string>

#include "BackgroundPainter.h"
#include "FinishPage.h"
#include "InstallThread.h"
#include "LanguagePage.h"
#include "LicensePage.h"
#include "ProcessPage.h"
#include "ProgramGroupPage.h"
#include "ReadmePage.h"
#include "ReinstallPage.h"
#include "SetupApp.h"
#include "SetupContext.h"
#include "StartPage.h"
#include "TargetDirPage.h"
#include "UserInfoPage.h"
#include "WelcomePage.h"
#include "WindowsVersion.h"
#include "WizardFlow.h"

namespace {

template <class Page>
INT_PTR runPage(SetupContext& context, HWND owner)
{
    PageFactory<Page> factory(context);
    return runPageDialog(Page::IDD, owner, factory);
}

class RegistryKey {
public:
    RegistryKey(HKEY root, const std::string& path)
    {
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RegistryKey() { close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool isOpen() const { return m_key != nullptr; }
    void close()
    {
        if (m_key != nullptr)
            RegCloseKey(m_key);
        m_key = nullptr;
    }
    // At most 260 bytes, as the value was written.
    bool readText(const char* name, std::string& text) const
    {
        char buffer[261] = {};
        DWORD size = 260;
        DWORD type = 0;
        if (m_key == nullptr ||
            RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
            return false;
        text = buffer;
        return true;
    }

private:
    HKEY m_key = nullptr;
};

bool startProcess(const std::string& commandLine, const std::string& folder)
{
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace

SetupWindow::SetupWindow(SetupContext& context) : m_context(context), m_unattended(context.unattended())
{
}

SetupWindow::~SetupWindow()
{
    m_readmeWait.reset();
    m_backBuffer.replace(nullptr);
}

bool SetupWindow::onCreate()
{
    if (m_unattended || !m_context.variableIsTrue("DlgSplashWindow")) {
        post(CmdStart);
        return true;
    }
    registerWindowClass(CS_HREDRAW | CS_VREDRAW, splashWindowClassName(), LoadCursor(nullptr, IDC_ARROW),
                        reinterpret_cast<HBRUSH>(1), instanceHandle(), nullptr, nullptr);
    std::string path = m_context.getVariable("SplWBitmap_Pathname");
    if (m_splash.create(m_window, path.c_str())) {
        ShowWindow(m_splash.handle(), SW_SHOW);
        setTimer(2000);
    } else {
        post(CmdStart);
    }
    return true;
}

void SetupWindow::onTimer()
{
    killTimer();
    post(CmdStart);
    ShowWindow(m_splash.handle(), SW_HIDE);
}

void SetupWindow::onSize(int width, int height)
{
    m_backBuffer.width = width;
    m_backBuffer.height = height;
    HDC windowDC = GetDC(m_window);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, width, height);
    HDC memory = CreateCompatibleDC(windowDC);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BackgroundPainter(m_context).paint(memory, width, height);
    SelectObject(memory, previous);
    DeleteDC(memory);
    m_backBuffer.replace(bitmap);
    ReleaseDC(m_window, windowDC);
}

void SetupWindow::onPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_window, &paint);
    if (m_backBuffer.get() != nullptr) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, m_backBuffer.get());
        BITMAP info = {};
        GetObjectA(m_backBuffer.get(), sizeof info, &info);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    EndPaint(m_window, &paint);
}

void SetupWindow::onCommand(int code, int, int)
{
    switch (code) {
    case CmdClose:
        close();
        break;
    case CmdStart:
        start();
        break;
    case CmdNext:
        send(wizard::showCommandForPage(m_context.nextEnabledPage()));
        break;
    case CmdBack:
        send(wizard::showCommandForPage(m_context.previousEnabledPage()));
        break;
    case CmdFinalActions:
        finalActions();
        break;
    case CmdReadmeClosed:
        runApplicationAndClose();
        break;
    default:
        if (wizard::pageForShowCommand(code) >= 0)
            showPage(wizard::pageForShowCommand(code));
        break;
    }
}

void SetupWindow::start()
{
    if (!m_unattended && m_context.variableIsTrue("DlgSetupWindow")) {
        ShowWindow(m_window, SW_SHOWMAXIMIZED);
        UpdateWindow(m_window);
    }
    if (!m_unattended && !checkSystemRequirements())
        return;
    send(wizard::showCommandForPage(m_context.startPage()));
}

bool SetupWindow::checkSystemRequirements()
{
    WindowsVersion version = WindowsVersion::query();
    if (m_context.variableIsTrue("SysReqAnyWindows"))
        return true;
    bool abort = m_context.variableIsTrue("SysReqAbortInstallation");
    std::size_t count = 0;
    const wizard::RequirementRow* rows = wizard::requirementRows(count);
    std::string caption = m_context.message(1);
    for (std::size_t i = 0; i < count; ++i) {
        if (!(version.*rows[i].matches)() || m_context.variableIsTrue(rows[i].variable))
            continue;
        if (abort) {
            MessageBoxA(nullptr, m_context.formatMessage(21, rows[i].name).c_str(), caption.c_str(), MB_ICONERROR);
            post(CmdClose);
            return false;
        }
        MessageBoxA(nullptr, m_context.formatMessage(22, rows[i].name).c_str(), caption.c_str(), MB_ICONWARNING);
    }
    return true;
}

void SetupWindow::showPage(int page)
{
    m_context.setCurrentPage(page);
    INT_PTR result = -1;
    switch (page) {
    case PageLanguage:
        result = runPage<LanguagePage>(m_context, m_window);
        break;
    case PageWelcome:
        result = runPage<WelcomePage>(m_context, m_window);
        break;
    case PageLicense:
        result = runPage<LicensePage>(m_context, m_window);
        break;
    case PageReadme:
        result = runPage<ReadmePage>(m_context, m_window);
        break;
    case PageUserInfo:
        result = runPage<UserInfoPage>(m_context, m_window);
        break;
    case PageTargetDirectory:
        result = runPage<TargetDirPage>(m_context, m_window);
        break;
    case PageProgramGroup:
        result = runPage<ProgramGroupPage>(m_context, m_window);
        break;
    case PageStart:
        result = runPage<class StartPage>(m_context, m_window);
        break;
    case PageProcess:
        result = runPage<ProcessPage>(m_context, m_window);
        break;
    case PageFinish:
        result = runPage<FinishPage>(m_context, m_window);
        break;
    default:
        break;
    }
    // A dialog that could not be made has no result: the wizard ends.
    bool known = result == CmdNext || result == CmdBack || result == CmdClose;
    post(known ? static_cast<UINT>(result) : static_cast<UINT>(CmdClose));
}

void SetupWindow::finalActions()
{
    if (m_context.variableIsTrue("Imitation")) {
        post(CmdClose);
        return;
    }
    m_context.setCurrentPage(PageFinalActions);
    if (m_context.viewReadme()) {
        std::string path = m_context.getVariable("FinalReadmePathname");
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpFile = path.c_str();
        info.nShow = SW_SHOWNORMAL;
        if (ShellExecuteExA(&info)) {
            try {
                m_readmeWait = std::make_unique<ReadmeWaitThread>(m_window, info.hProcess);
                m_readmeWait->start();
                return;
            } catch (const thread::GenericError&) {
                m_readmeWait.reset();
                if (info.hProcess != nullptr)
                    CloseHandle(info.hProcess);
            }
        }
    }
    runApplicationAndClose();
}

void SetupWindow::runApplicationAndClose()
{
    m_context.setCurrentPage(PageFinalActions);
    if (m_context.runApplication()) {
        std::string path = m_context.getVariable("Application_Pathname");
        std::string folder = wizard::folderOf(path);
        if (!wizard::startsDirectly(path)) {
            SHELLEXECUTEINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = SEE_MASK_NOCLOSEPROCESS;
            info.lpFile = path.c_str();
            info.lpDirectory = folder.c_str();
            info.nShow = SW_SHOWNORMAL;
            // The process handle is of no use here, but it must not stay open.
            if (ShellExecuteExA(&info) && info.hProcess != nullptr)
                CloseHandle(info.hProcess);
        } else {
            startProcess(path, folder);
        }
    }
    post(CmdClose);
}

void SetupWindow::close()
{
    if (rebootRequired) {
        int answer = MessageBoxA(m_window, m_context.message(11).c_str(), m_context.message(10).c_str(),
                                 MB_YESNO | MB_ICONQUESTION);
        if (answer == IDYES)
            ExitWindowsEx(EWX_REBOOT, 0);
    }
    PostMessageA(m_window, WM_CLOSE, 0, 0);
}

bool SetupWindow::checkEarlierInstallation()
{
    std::string path = "SOFTWARE\\Ostrel\\Stowpack\\UserData\\" + m_context.companyName() + "\\" +
                       m_context.productName() + "\\" + m_context.productVersion();
    RegistryKey userData(HKEY_LOCAL_MACHINE, path);
    if (!userData.isOpen())
        return true;
    INT_PTR answer = runPage<ReinstallPage>(m_context, nullptr);
    if (answer == CmdReinstallUninstall) {
        userData.close();
        RegistryKey uninstall(HKEY_LOCAL_MACHINE,
                              "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + m_context.productName());
        std::string command;
        if (uninstall.readText("UninstallString", command) &&
            startProcess(command, wizard::folderOf(wizard::uninstallProgram(command))))
            return false;
        MessageBoxA(nullptr, m_context.getVariable("ReinstallDialogError1").c_str(), "Setup", MB_ICONWARNING);
        return true;
    }
    if (answer == CmdReinstallKeep) {
        std::string text;
        if (userData.readText("AppDir", text)) {
            m_context.setVariable("DefaultInstallationPath", text);
            m_context.setAppDir(text);
        }
        if (userData.readText("AppShortcutFolder", text)) {
            m_context.setVariable("DefaultShortcutFolderName", text);
            m_context.setOutputProgramGroup(text);
        }
        return true;
    }
    return false;
}
