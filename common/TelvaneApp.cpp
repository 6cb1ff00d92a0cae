// CTelvaneApp: start-up and exit of both programs.
#include "TelvaneApp.h"

#include <winsock2.h>
#include <commctrl.h>

#include "SharedResource.h"
#include "Wnd.h"

BOOL CTelvaneApp::InitInstance()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        AfxMessageBox(IDS_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    InitCommonControls(); // the dialogs' list controls; every Windows 95 has this call

    SetRegistryKey("Velmora");
    ReadSettings();

    CFrameWnd* frame = NewMainFrame();
    m_pMainWnd = frame;
    frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, m_pszAppName);
    frame->ShowWindow(SW_HIDE);
    frame->UpdateWindow();
    return TRUE;
}

int CTelvaneApp::ExitInstance()
{
    if (m_pMainWnd != nullptr) {
        CWnd* frame = m_pMainWnd;
        frame->DestroyWindow(); // the host hangs up the line here
        m_pMainWnd = nullptr;
        delete frame; // closes the connections, which the host takes as disconnect requests
    }
    WSACleanup();
    return CWinApp::ExitInstance();
}
