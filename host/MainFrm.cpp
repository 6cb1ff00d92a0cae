// CMainFrame: start-up, the request handlers, the dial-up outcomes and the tray commands.
#include "MainFrm.h"

#include "AboutDlg.h"
#include "ClientsDlg.h"
#include "ConfigurationDlg.h"
#include "StatusDlg.h"
#include "SystemRestart.h"
#include "TelvaneHost.h"
#include "Tools.h"

namespace {

ControlSocket* AsSocket(WPARAM wParam)
{
    return reinterpret_cast<ControlSocket*>(wParam);
}

} // namespace

LRESULT CMainFrame::OnCreate(WPARAM wParam, LPARAM lParam)
{
    if (DefWindowProc(WM_CREATE, wParam, lParam) == -1)
        return -1;

    m_trayIcon.SetNotificationWnd(m_hWnd, HostMessage::TrayNotify);
    m_trayIcon.SetIcon(LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_TRAY)), "");

    m_trayMenu.reset(LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_TRAY_MENU)));

    m_dialup.SetNotifyWnd(this);
    m_dialup.SetConnectedMessage(HostMessage::DialConnected);
    m_dialup.SetDisconnectedMessage(HostMessage::DialDisconnected);
    m_dialup.SetProgressMessage(HostMessage::DialProgress);
    m_dialup.SetErrorMessage(HostMessage::DialError);
    m_dialup.CreateNotifyWindow();

    UINT port = HostApp().GetListeningPort();
    m_socketManager.StartListening(port);

    CString text;
    text.Format("Host initialised, clients can connect on port %u", port);
    LogEvent(text);
    return 0;
}

LRESULT CMainFrame::OnDestroy(WPARAM wParam, LPARAM lParam)
{
    m_statusLog.Clear();
    m_dialup.HangUp();
    return DefWindowProc(WM_DESTROY, wParam, lParam);
}

CString CMainFrame::PeerText(const char* format, ControlSocket* socket)
{
    CString address = socket->PeerAddress();
    CString name = CTools::ResolveHostName(address);
    CString text;
    text.Format(format, name.GetString(), socket->PeerPort());
    return text;
}

bool CMainFrame::IsOpen(ControlSocket* socket) const
{
    return socket != nullptr && m_socketManager.Connections().Find(socket) >= 0;
}

void CMainFrame::SendToAll(int32_t code)
{
    const CPtrArray& connections = m_socketManager.Connections();
    for (int i = 0; i < connections.GetSize(); ++i)
        m_socketManager.ConnectionAt(i)->SendCode(code);
}

LRESULT CMainFrame::OnPing(WPARAM wParam, LPARAM)
{
    ControlSocket* sender = AsSocket(wParam);
    LogReceived(PeerText("Received ping from %s on port %u", sender));
    int32_t answer[2] = {ControlCode::Ping, ControlCode::LineOffLine};
    if (!m_users.IsEmpty())
        answer[1] = ControlCode::LineOnLine;
    else if (m_phoneInUse)
        answer[1] = ControlCode::LinePhoneInUse;
    // Both units in one send: sent apart, the second would wait for the client's delayed
    // acknowledgement of the first.
    sender->SendCodes(answer, 2);
    return 0;
}

LRESULT CMainFrame::OnConnectRequest(WPARAM wParam, LPARAM)
{
    ControlSocket* sender = AsSocket(wParam);
    LogReceived(PeerText("Received connect request from %s on port %u", sender));
    if (m_dialup.GetState() == Dialing)
        return 0;
    if (IsUser(sender))
        return 0;
    if (!m_users.IsEmpty()) {
        if (m_dialup.GetState() != Connected)
            LogEvent("Expected to be connected, but wasn't");
        sender->SendCode(ControlCode::DialupEstablished);
        m_users.Add(sender);
        return 0;
    }

    CTelvaneHostApp& app = HostApp();
    CString entry = app.GetDialupConnection();
    CString text;
    text.Format("Attempting to connect to dial-up connection: %s", entry.GetString());
    LogEvent(text);
    m_pendingRequester = sender;
    // The fields hold 256 characters; longer settings are cut rather than overrun them.
    lstrcpynA(m_dialup.EntryName(), entry, CDialupConnection::MaxNameLength + 1);
    lstrcpynA(m_dialup.UserName(), app.GetUsername(), CDialupConnection::MaxNameLength + 1);
    lstrcpynA(m_dialup.Password(), app.GetPassword(), CDialupConnection::MaxNameLength + 1);
    m_dialup.Dial();
    return 0;
}

LRESULT CMainFrame::OnDisconnectRequest(WPARAM wParam, LPARAM)
{
    ControlSocket* sender = AsSocket(wParam);
    int index = m_users.Find(sender);
    if (index < 0)
        return 0;
    m_users.RemoveAt(index);
    LogReceived(PeerText("Received disconnect request from %s on port %u", sender));
    if (m_users.IsEmpty()) {
        if (m_dialup.HangUp() != 0) {
            LogEvent("Failed to hang up the connection");
            sender->SendCode(ControlCode::HangUpFailed);
        }
    } else {
        sender->SendCode(ControlCode::LineOnLine);
    }
    return 0;
}

LRESULT CMainFrame::OnConnectionGone(WPARAM wParam, LPARAM)
{
    // A requester whose connection closed during the dial gets no answer when it ends.
    if (m_pendingRequester == AsSocket(wParam))
        m_pendingRequester = nullptr;
    return 0;
}

LRESULT CMainFrame::OnPhoneToggle(WPARAM, LPARAM)
{
    LogReceived("Received phone in use request");
    SendToAll(m_phoneInUse ? ControlCode::LineOffLine : ControlCode::LinePhoneInUse);
    m_phoneInUse = !m_phoneInUse;
    return 0;
}

LRESULT CMainFrame::OnVoiceLineRequest(WPARAM, LPARAM)
{
    for (int i = 0; i < m_users.GetSize(); ++i)
        static_cast<ControlSocket*>(m_users[i])->SendCode(ControlCode::VoiceLineRequest);
    return 0;
}

LRESULT CMainFrame::OnRebootRequest(WPARAM, LPARAM)
{
    LogReceived("Server reboot requested");
    m_socketManager.CloseListener();
    const CPtrArray& connections = m_socketManager.Connections();
    for (int i = 0; i < connections.GetSize(); ++i) {
        ControlSocket* connection = m_socketManager.ConnectionAt(i);
        connection->SendCode(ControlCode::LineOffLine);
        connection->Close();
        SendMessage(ControlCode::DisconnectRequest, reinterpret_cast<WPARAM>(connection));
    }
    LogEvent("About to reboot server");
    if (!RestartSystem())
        LogEvent("Unable to reboot server");
    return 0;
}

LRESULT CMainFrame::OnDialConnected(WPARAM, LPARAM)
{
    CString text;
    text.Format("Sucessfully established dial up connection to %s", m_dialup.EntryName());
    ControlSocket* requester = m_pendingRequester;
    m_pendingRequester = nullptr;
    if (!IsOpen(requester)) {
        // The client that asked for the line has gone during the dial. Nobody would use the
        // line and nobody could end it, so it is hung up again; everybody hears LineOffLine.
        LogEvent(text);
        LogEvent("The client that requested the connection has gone; hanging up");
        m_dialup.HangUp();
        return 0;
    }
    requester->SendCode(ControlCode::DialupEstablished);
    m_users.Add(requester);
    const CPtrArray& connections = m_socketManager.Connections();
    for (int i = 0; i < connections.GetSize(); ++i) {
        ControlSocket* connection = m_socketManager.ConnectionAt(i);
        if (connection != requester)
            connection->SendCode(ControlCode::LineOnLine);
    }
    LogEvent(text);
    return 0;
}

LRESULT CMainFrame::OnDialDisconnected(WPARAM, LPARAM)
{
    SendToAll(ControlCode::LineOffLine);
    m_users.RemoveAll();
    CString text;
    text.Format("Disconnected from connection: %s", m_dialup.EntryName());
    LogEvent(text);
    return 0;
}

LRESULT CMainFrame::OnDialError(WPARAM, LPARAM)
{
    CString text;
    text.Format("Connect failed because: %s", m_dialup.GetLastErrorText().GetString());
    LogEvent(text);
    if (IsOpen(m_pendingRequester))
        m_pendingRequester->SendCode(ControlCode::ConnectFailed);
    m_pendingRequester = nullptr;
    OnDialDisconnected(0, 0);
    return 0;
}

void CMainFrame::OnHangUp()
{
    LogEvent("Global disconnect requested");
    SendToAll(ControlCode::LineOffLine);
    m_users.RemoveAll();
    if (m_dialup.HangUp() != 0) {
        CString text("Unable to hang up connection because: ");
        text += m_dialup.GetLastErrorText();
        LogEvent(text);
    } else {
        LogEvent("Successfully hung up connection");
    }
}

void CMainFrame::OnAppExit()
{
    m_trayIcon.RemoveIcon();
    PostQuitMessage(0);
}

LRESULT CMainFrame::OnTrayNotification(WPARAM, LPARAM mouseMessage)
{
    if (static_cast<UINT>(mouseMessage) == WM_RBUTTONUP)
        ShowTrayMenu();
    return 0;
}

void CMainFrame::ShowTrayMenu()
{
    HMENU popup = GetSubMenu(m_trayMenu.get(), 0);
    if (popup == nullptr)
        return;
    EnableMenuItem(popup, ID_HANG_UP, MF_BYCOMMAND | (m_users.IsEmpty() ? MF_GRAYED : MF_ENABLED));
    m_trayIcon.TrackMenu(popup);
}

LRESULT CMainFrame::OnTaskbarCreated(WPARAM, LPARAM)
{
    m_trayIcon.Restore();
    return 0;
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnViewStatus()
{
    const StatusDlgLayout layout = {
        IDD_STATUS, IDC_STATUS_LIST, {IDI_KIND_RECEIVED, IDI_KIND_SENT, IDI_KIND_EVENT}, ILC_COLOR8 | ILC_MASK, 5};
    CStatusDlg dialog(layout, m_statusLog, this);
    dialog.DoModal();
}

void CMainFrame::OnViewClients()
{
    CClientsDlg dialog(m_users, this);
    dialog.DoModal();
}

void CMainFrame::OnConfiguration()
{
    CConfigurationDlg dialog(this);
    dialog.DoModal();
}
