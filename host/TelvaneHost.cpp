// CTelvaneHostApp: start-up, settings, exit.
#include "TelvaneHost.h"

#include <winsock2.h>
#include <commctrl.h>

#include "MainFrm.h"
#include "resource.h"

namespace {

const char kHostSection[] = "Host";
const char kUserSection[] = "User";

CTelvaneHostApp theApp;

} // namespace

CTelvaneHostApp& HostApp()
{
    return theApp;
}

CTelvaneHostApp::CTelvaneHostApp() : CWinApp("TelvaneHost")
{
}

BOOL CTelvaneHostApp::InitInstance()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        AfxMessageBox(IDS_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    InitCommonControls(); // the list controls of the dialogs; every Windows 95 has this call

    SetRegistryKey("Velmora");
    m_dialupConnection = GetProfileString(kHostSection, "Dialup_Connection", "Ringwell");
    m_listeningPort = GetProfileInt(kHostSection, "Listening_Port", 1020);
    m_username = GetProfileString(kUserSection, "Username", "Username");
    m_password = GetProfileString(kUserSection, "Password", "Kelmabot");

    auto* frame = new CMainFrame;
    m_pMainWnd = frame;
    frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, m_pszAppName);
    frame->ShowWindow(SW_HIDE);
    frame->UpdateWindow();
    return TRUE;
}

int CTelvaneHostApp::ExitInstance()
{
    if (m_pMainWnd != nullptr) {
        CWnd* frame = m_pMainWnd;
        frame->DestroyWindow(); // hangs up the line
        m_pMainWnd = nullptr;
        delete frame;
    }
    WSACleanup();
    return CWinApp::ExitInstance();
}

void CTelvaneHostApp::SetDialupConnection(const char* entry)
{
    m_dialupConnection = entry;
    WriteProfileString(kHostSection, "Dialup_Connection", entry);
}

void CTelvaneHostApp::SetListeningPort(int port)
{
    m_listeningPort = static_cast<UINT>(port);
    WriteProfileInt(kHostSection, "Listening_Port", port);
}

void CTelvaneHostApp::SetUsername(const char* name)
{
    m_username = name;
    WriteProfileString(kUserSection, "Username", name);
}

void CTelvaneHostApp::SetPassword(const char* password)
{
    m_password = password;
    WriteProfileString(kUserSection, "Password", password);
}
