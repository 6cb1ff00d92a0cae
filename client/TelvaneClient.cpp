// CTelvaneClientApp: start-up, settings, exit.
#include "TelvaneClient.h"

#include <winsock2.h>
#include <commctrl.h>

#include "MainFrm.h"
#include "resource.h"

namespace {

const char kHostSection[] = "Host";

CTelvaneClientApp theApp;

} // namespace

CTelvaneClientApp& ClientApp()
{
    return theApp;
}

CTelvaneClientApp::CTelvaneClientApp() : CWinApp("TelvaneClient")
{
}

BOOL CTelvaneClientApp::InitInstance()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        AfxMessageBox(IDS_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    InitCommonControls(); // the Status dialog's list control

    SetRegistryKey("Velmora");
    m_address = GetProfileString(kHostSection, "Address", "192.168.0.1");
    m_port = GetProfileInt(kHostSection, "Port", 1020);

    auto* frame = new CMainFrame;
    m_pMainWnd = frame;
    frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, m_pszAppName);
    frame->ShowWindow(SW_HIDE);
    frame->UpdateWindow();
    return TRUE;
}

int CTelvaneClientApp::ExitInstance()
{
    if (m_pMainWnd != nullptr) {
        CWnd* frame = m_pMainWnd;
        frame->DestroyWindow();
        m_pMainWnd = nullptr;
        delete frame; // closes the connection, which the host takes as a disconnect
    }
    WSACleanup();
    return CWinApp::ExitInstance();
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
