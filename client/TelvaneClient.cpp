// CTelvaneClientApp: the settings and the main window; start-up and exit are CTelvaneApp's.
#include "TelvaneClient.h"

#include "MainFrm.h"

namespace {

const char kHostSection[] = "Host";

CTelvaneClientApp theApp;

} // namespace

CTelvaneClientApp& ClientApp()
{
    return theApp;
}

CTelvaneClientApp::CTelvaneClientApp() : CTelvaneApp("TelvaneClient")
{
}

void CTelvaneClientApp::ReadSettings()
{
    m_address = GetProfileString(kHostSection, "Address", "192.168.0.1");
    m_port = GetProfileInt(kHostSection, "Port", 1020);
}

CFrameWnd* CTelvaneClientApp::NewMainFrame()
{
    return new CMainFrame;
}

void CTelvaneClientApp::SetAddress(const char* address)
{
    m_address = address;
    WriteProfileString(kHostSection, "Address", address);
}

void CTelvaneClientApp::SetPort(int port)
{
    m_port = static_cast<UINT>(port);
    WriteProfileInt(kHostSection, "Port", port);
}
