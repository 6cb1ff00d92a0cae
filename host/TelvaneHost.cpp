// CTelvaneHostApp: the settings and the main window; start-up and exit are CTelvaneApp's.
#include "TelvaneHost.h"

#include "MainFrm.h"

namespace {

const char kHostSection[] = "Host";
const char kUserSection[] = "User";

CTelvaneHostApp theApp;

} // namespace

CTelvaneHostApp& HostApp()
{
    return theApp;
}

CTelvaneHostApp::CTelvaneHostApp() : CTelvaneApp("TelvaneHost")
{
}

void CTelvaneHostApp::ReadSettings()
{
    m_dialupConnection = GetProfileString(kHostSection, "Dialup_Connection", "Ringwell");
    m_listeningPort = GetProfileInt(kHostSection, "Listening_Port", 1020);
    m_username = GetProfileString(kUserSection, "Username", "Username");
    m_password = GetProfileString(kUserSection, "Password", "Kelmabot");
}

CFrameWnd* CTelvaneHostApp::NewMainFrame()
{
    return new CMainFrame;
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
