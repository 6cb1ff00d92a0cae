// CMainFrame: the host's hidden main window. It owns the control server, the dial-up
// controller and the tray icon, handles every client request and every outcome of the
// dial-up line, and keeps the users of the line and the status log.
#pragma once

#include "ControlCodes.h"
#include "DialupConnection.h"
#include "Handles.h"
#include "HostMessages.h"
#include "SocketManager.h"
#include "StatusLog.h"
#include "TrayIcon.h"
#include "resource.h"

class CMainFrame : public CFrameWnd {
public:
    CMainFrame() = default;

    const CStatusLog& StatusLog() const { return m_statusLog; }
    const CPtrArray& Users() const { return m_users; }

    BEGIN_MSG_MAP(CMainFrame, CFrameWnd)
        ON_MESSAGE(WM_CREATE, OnCreate)
        ON_MESSAGE(WM_DESTROY, OnDestroy)
        ON_MESSAGE(HostMessage::TrayNotify, OnTrayNotification)
        ON_MESSAGE(HostMessage::DialConnected, OnDialConnected)
        ON_MESSAGE(HostMessage::DialDisconnected, OnDialDisconnected)
        ON_MESSAGE(HostMessage::DialProgress, OnDialProgress)
        ON_MESSAGE(HostMessage::DialError, OnDialError)
        ON_MESSAGE(ControlCode::ConnectRequest, OnConnectRequest)
        ON_MESSAGE(ControlCode::DisconnectRequest, OnDisconnectRequest)
        ON_MESSAGE(ControlCode::PhoneToggle, OnPhoneToggle)
        ON_MESSAGE(ControlCode::Ping, OnPing)
        ON_MESSAGE(ControlCode::RebootRequest, OnRebootRequest)
        ON_MESSAGE(ControlCode::VoiceLineRequest, OnVoiceLineRequest)
        ON_MESSAGE(HostMessage::ConnectionGone, OnConnectionGone)
        ON_MESSAGE(CTrayIcon::TaskbarCreatedMessage(), OnTaskbarCreated)
        ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
        ON_COMMAND(ID_VIEW_STATUS, OnViewStatus)
        ON_COMMAND(ID_VIEW_CLIENTS, OnViewClients)
        ON_COMMAND(ID_CONFIGURATION, OnConfiguration)
        ON_COMMAND(ID_HANG_UP, OnHangUp)
        ON_COMMAND(ID_APP_EXIT, OnAppExit)
    END_MSG_MAP()

private:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnTrayNotification(WPARAM, LPARAM mouseMessage);
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);
    LRESULT OnConnectionGone(WPARAM socket, LPARAM);

    LRESULT OnDialConnected(WPARAM, LPARAM);
    LRESULT OnDialDisconnected(WPARAM, LPARAM);
    LRESULT OnDialProgress(WPARAM, LPARAM) { return 0; }
    LRESULT OnDialError(WPARAM, LPARAM);

    LRESULT OnConnectRequest(WPARAM socket, LPARAM);
    LRESULT OnDisconnectRequest(WPARAM socket, LPARAM);
    LRESULT OnPhoneToggle(WPARAM socket, LPARAM);
    LRESULT OnPing(WPARAM socket, LPARAM);
    LRESULT OnRebootRequest(WPARAM socket, LPARAM);
    LRESULT OnVoiceLineRequest(WPARAM socket, LPARAM);

    void OnAppAbout();
    void OnViewStatus();
    void OnViewClients();
    void OnConfiguration();
    void OnHangUp();
    void OnAppExit();

    void LogReceived(const CString& text) { m_statusLog.Add(Received, text); }
    void LogEvent(const CString& text) { m_statusLog.Add(Event, text); }
    // "%s on port %u" style texts name the peer by its host name.
    CString PeerText(const char* format, ControlSocket* socket);

    void SendToAll(int32_t code);
    bool IsOpen(ControlSocket* socket) const;
    bool IsUser(ControlSocket* socket) const { return m_users.Find(socket) >= 0; }
    void ShowTrayMenu();

    ControlSocket* m_pendingRequester = nullptr;
    CDialupConnection m_dialup;
    bool m_phoneInUse = false;
    UniqueHMenu m_trayMenu;
    CSocketManager m_socketManager;
    CTrayIcon m_trayIcon;
    CPtrArray m_users; // ControlSocket*, owned by the socket manager
    CStatusLog m_statusLog;
};
