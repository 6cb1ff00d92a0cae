// CMainFrame: the client's hidden main window. It owns the connection to the host and the
// tray icon, follows the line state the host reports, sends the user's requests and
// animates the tray icon while a connect request is pending.
#pragma once

#include "ClientMessages.h"
#include "ControlCodes.h"
#include "DialWait.h"
#include "Handles.h"
#include "LineState.h"
#include "SocketManager.h"
#include "StatusLog.h"
#include "TrayIcon.h"
#include "resource.h"

class CMainFrame : public CFrameWnd {
public:
    CMainFrame() = default;

    const CStatusLog& StatusLog() const { return m_statusLog; }

    BEGIN_MSG_MAP(CMainFrame, CFrameWnd)
        ON_MESSAGE(WM_CREATE, OnCreate)
        ON_MESSAGE(WM_DESTROY, OnDestroy)
        ON_MESSAGE(WM_TIMER, OnTimer)
        ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
        ON_MESSAGE(ClientMessage::TrayNotify, OnTrayNotification)
        ON_MESSAGE(ClientMessage::HostConnected, OnHostConnected)
        ON_MESSAGE(ClientMessage::ConnectFailure, OnConnectFailure)
        ON_MESSAGE(ClientMessage::HostClosed, OnHostClosed)
        ON_MESSAGE(ControlCode::Ping, OnPing)
        ON_MESSAGE(ControlCode::DialupEstablished, OnLineCode<ControlCode::DialupEstablished>)
        ON_MESSAGE(ControlCode::LineOffLine, OnLineCode<ControlCode::LineOffLine>)
        ON_MESSAGE(ControlCode::LineOnLine, OnLineCode<ControlCode::LineOnLine>)
        ON_MESSAGE(ControlCode::LinePhoneInUse, OnLineCode<ControlCode::LinePhoneInUse>)
        ON_MESSAGE(ControlCode::ConnectFailed, OnLineCode<ControlCode::ConnectFailed>)
        ON_MESSAGE(ControlCode::HangUpFailed, OnLineCode<ControlCode::HangUpFailed>)
        ON_MESSAGE(ControlCode::VoiceLineRequest, OnVoiceLineRequest)
        ON_MESSAGE(CTrayIcon::TaskbarCreatedMessage(), OnTaskbarCreated)
        ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
        ON_COMMAND(ID_CONFIGURATION, OnConfiguration)
        ON_COMMAND(ID_VIEW_STATUS, OnViewStatus)
        ON_COMMAND(ID_CONNECT, OnConnect)
        ON_COMMAND(ID_DISCONNECT, OnDisconnect)
        ON_COMMAND(ID_PHONE, OnPhone)
        ON_COMMAND(ID_VOICE_LINE, OnVoiceLine)
        ON_COMMAND(ID_SERVER_REBOOT, OnServerReboot)
        ON_COMMAND(ID_APP_EXIT, OnAppExit)
    END_MSG_MAP()

private:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnInitMenuPopup(WPARAM menu, LPARAM);
    LRESULT OnTrayNotification(WPARAM, LPARAM mouseMessage);
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);

    LRESULT OnHostConnected(WPARAM, LPARAM);
    LRESULT OnConnectFailure(WPARAM, LPARAM);
    LRESULT OnHostClosed(WPARAM, LPARAM);

    LRESULT OnPing(WPARAM, LPARAM);
    template <int32_t Code>
    LRESULT OnLineCode(WPARAM, LPARAM)
    {
        ApplyHostCode(Code);
        return 0;
    }
    void ApplyHostCode(int32_t code);
    LRESULT OnVoiceLineRequest(WPARAM, LPARAM);

    void OnAppAbout();
    void OnConfiguration();
    void OnViewStatus();
    void OnConnect();
    void OnDisconnect();
    void OnPhone();
    void OnVoiceLine();
    void OnServerReboot();
    void OnAppExit();

    void LogReceived(const CString& text) { m_statusLog.Add(Received, text); }
    void LogSent(const CString& text) { m_statusLog.Add(Sent, text); }
    void LogEvent(const CString& text) { m_statusLog.Add(Event, text); }

    // Shows a tray picture; a null tooltip leaves the one shown.
    void ShowTray(int picture, const char* tooltip);
    void SetLineState(LineState state);
    void StopDialWait();
    void DialWaitTick();
    void ShowTrayMenu();
    void Trace(const CString& text);

    CSocketManager m_socketManager;
    DialWait m_dialWait;
    CStatusLog m_statusLog;
    UniqueHMenu m_trayMenu;
    CTrayIcon m_trayIcon;
    LineState m_lineState = NoHost;

    // The loaded tray pictures; the animation knows the icon shown by its handle.
    struct Picture {
        int id;
        HICON icon;
    };
    Picture m_pictures[5] = {};
    HICON PictureIcon(int id) const;
    int PictureOf(HICON icon) const;
    CString m_tooltip; // the tooltip shown, for the trace
};
