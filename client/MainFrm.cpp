// CMainFrame: start-up, the connection's notifications, the host's codes, the tray menu
// and its commands, and the dial-wait animation.
#include "MainFrm.h"

#include "AboutDlg.h"
#include "ConfigurationDlg.h"
#include "StatusDlg.h"
#include "TelvaneClient.h"
#include "Tools.h"

namespace {

const int kPictureIds[] = {TrayPicture::NoHost, TrayPicture::OffLine, TrayPicture::OnLine, TrayPicture::PhoneInUse,
                           TrayPicture::Connected};

} // namespace

LRESULT CMainFrame::OnCreate(WPARAM wParam, LPARAM lParam)
{
    if (DefWindowProc(WM_CREATE, wParam, lParam) == -1)
        return -1;

    for (int i = 0; i < 5; ++i)
        m_pictures[i] = {kPictureIds[i], LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(kPictureIds[i]))};

    CString window;
    window.Format("window %lu", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(m_hWnd)));
    Trace(window); // host and client frames share a window class; this tells them apart

    m_trayIcon.SetNotificationWnd(m_hWnd, ClientMessage::TrayNotify);
    ShowTray(TrayPicture::NoHost, kStartTooltip);

    m_trayMenu.reset(LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_TRAY_MENU)));

    CTelvaneClientApp& app = ClientApp();
    m_socketManager.CreateWnd(this);
    m_socketManager.SetServer(app.GetAddress(), app.GetPort());
    m_socketManager.Connect();
    return 0;
}

LRESULT CMainFrame::OnDestroy(WPARAM wParam, LPARAM lParam)
{
    KillTimer(ClientMessage::DialWaitTimer);
    m_statusLog.Clear();
    return DefWindowProc(WM_DESTROY, wParam, lParam);
}

HICON CMainFrame::PictureIcon(int id) const
{
    for (const Picture& picture : m_pictures)
        if (picture.id == id)
            return picture.icon;
    return nullptr;
}

int CMainFrame::PictureOf(HICON icon) const
{
    if (icon == nullptr)
        return TrayPicture::None;
    for (const Picture& picture : m_pictures)
        if (picture.icon == icon)
            return picture.id;
    return TrayPicture::None;
}

void CMainFrame::Trace(const CString& text)
{
    // Like the status log, what the tray shows goes to the debug output too, where a
    // debugger or a test can follow it without a look at the taskbar.
    CString line;
    line.Format("%s %s\n", AfxGetApp()->m_pszAppName, text.GetString());
    OutputDebugStringA(line);
}

void CMainFrame::ShowTray(int picture, const char* tooltip)
{
    if (tooltip != nullptr)
        m_tooltip = tooltip;
    m_trayIcon.SetIcon(PictureIcon(picture), tooltip);
    CString text;
    text.Format("tray %d %s: %s", picture, LineStateName(m_lineState), m_tooltip.GetString());
    Trace(text);
}

void CMainFrame::SetLineState(LineState state)
{
    m_lineState = state;
    CString text;
    text.Format("state %s", LineStateName(state));
    Trace(text);
}

void CMainFrame::StopDialWait()
{
    KillTimer(ClientMessage::DialWaitTimer);
}

LRESULT CMainFrame::OnHostConnected(WPARAM, LPARAM)
{
    m_socketManager.Send(ControlCode::Ping);
    LogSent("Connected to remote socket. Sending Ping message");
    return 0;
}

LRESULT CMainFrame::OnConnectFailure(WPARAM, LPARAM)
{
    LogEvent(m_socketManager.GetLastErrorText());
    StopDialWait();
    SetLineState(NoHost);
    ShowTray(TrayPicture::NoHost, kNoHostTooltip);
    return 0;
}

LRESULT CMainFrame::OnHostClosed(WPARAM, LPARAM)
{
    LogEvent("Proxy server closed the connection");
    SetLineState(NoHost);
    ShowTray(TrayPicture::NoHost, kNoHostTooltip);
    return 0;
}

LRESULT CMainFrame::OnPing(WPARAM, LPARAM)
{
    LogReceived("Received Ping response");
    CString address = m_socketManager.GetPeerText();
    CString name = CTools::ResolveHostName(address);
    CString text;
    text.Format("Connected to server %s on port %u", name.GetString(), m_socketManager.GetPeerPort());
    LogEvent(text);
    return 0;
}

void CMainFrame::ApplyHostCode(int32_t code)
{
    const HostCodeReaction* reaction = ReactionTo(code);
    if (reaction == nullptr)
        return;
    LogReceived(reaction->logText);
    if (reaction->stopsDialWait)
        StopDialWait();
    if (reaction->changesState)
        SetLineState(reaction->newState);
    if (reaction->picture != TrayPicture::None)
        ShowTray(reaction->picture, reaction->tooltip);
}

LRESULT CMainFrame::OnVoiceLineRequest(WPARAM, LPARAM)
{
    MessageBoxA(nullptr, "Another user wishes to use the phone. Please disconnect at your earliest convenience.",
                "Voice Line Requested", MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL);
    return 0;
}

void CMainFrame::OnConnect()
{
    LogSent("Sent connect request to proxy server");
    m_dialWait.Start();
    m_socketManager.Send(ControlCode::ConnectRequest);
    ShowTray(TrayPicture::OffLine, "Off-line");
    if (SetTimer(ClientMessage::DialWaitTimer, DialWait::kTickMs) == 0)
        MessageBoxA(m_hWnd, "Insufficient resources to allocate a timer", "Error", MB_OK | MB_ICONSTOP);
}

void CMainFrame::OnDisconnect()
{
    LogSent("Sent disconnect request");
    m_socketManager.Send(ControlCode::DisconnectRequest);
}

void CMainFrame::OnPhone()
{
    LogSent("Sent voice line in use notification");
    m_socketManager.Send(ControlCode::PhoneToggle);
}

void CMainFrame::OnVoiceLine()
{
    LogSent("Sent voice line request");
    m_socketManager.Send(ControlCode::VoiceLineRequest);
}

void CMainFrame::OnServerReboot()
{
    if (MessageBoxA(m_hWnd, "Are you sure you wish to reboot the server?", "Server Reboot?",
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    LogSent("Sent server reboot request");
    m_socketManager.Send(ControlCode::RebootRequest);
}

void CMainFrame::OnAppExit()
{
    m_trayIcon.RemoveIcon();
    PostQuitMessage(0);
}

LRESULT CMainFrame::OnTimer(WPARAM id, LPARAM)
{
    if (id == ClientMessage::DialWaitTimer)
        DialWaitTick();
    return 0;
}

void CMainFrame::DialWaitTick()
{
    int next = DialWait::NextPicture(PictureOf(m_trayIcon.GetIcon()));
    if (next == TrayPicture::None)
        AfxMessageBox("No Icon");
    else
        ShowTray(next, nullptr);
    if (m_dialWait.Tick()) {
        StopDialWait();
        ShowTray(TrayPicture::OffLine, nullptr);
        LogEvent("Time out occurred while trying to establish connection");
    }
}

LRESULT CMainFrame::OnTrayNotification(WPARAM, LPARAM mouseMessage)
{
    if (static_cast<UINT>(mouseMessage) == WM_RBUTTONUP)
        ShowTrayMenu();
    return 0;
}

void CMainFrame::ShowTrayMenu()
{
    // The menu's state is set when it opens (OnInitMenuPopup).
    m_trayIcon.TrackMenu(GetSubMenu(m_trayMenu.get(), 0));
}

LRESULT CMainFrame::OnInitMenuPopup(WPARAM wParam, LPARAM)
{
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    if (menu != GetSubMenu(m_trayMenu.get(), 0))
        return 0;
    // Every item has a handler, so every item starts enabled; the line state then decides.
    for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i)
        EnableMenuItem(menu, i, MF_BYPOSITION | MF_ENABLED);
    TrayMenuState state = MenuStateFor(m_lineState);
    EnableMenuItem(menu, ID_CONNECT, MF_BYCOMMAND | (state.connect ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, ID_DISCONNECT, MF_BYCOMMAND | (state.disconnect ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, ID_PHONE, MF_BYCOMMAND | (state.phone ? MF_ENABLED : MF_GRAYED));
    if (state.phoneText != nullptr)
        ModifyMenuA(menu, ID_PHONE, MF_BYCOMMAND | MF_STRING | (state.phone ? MF_ENABLED : MF_GRAYED), ID_PHONE,
                    state.phoneText);

    char phoneText[64] = "";
    GetMenuStringA(menu, ID_PHONE, phoneText, sizeof(phoneText), MF_BYCOMMAND);
    auto enabled = [menu](UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) ? 0 : 1; };
    CString text;
    text.Format("menu %s connect=%d disconnect=%d phone=%d text=%s", LineStateName(m_lineState), enabled(ID_CONNECT),
                enabled(ID_DISCONNECT), enabled(ID_PHONE), phoneText);
    Trace(text);
    return 0;
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

void CMainFrame::OnConfiguration()
{
    CConfigurationDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnViewStatus()
{
    const StatusDlgLayout layout = {
        IDD_STATUS, IDC_STATUS_LIST, {IDI_KIND_RECEIVED, IDI_KIND_SENT, IDI_KIND_EVENT}, ILC_COLOR | ILC_MASK, 10};
    CStatusDlg dialog(layout, m_statusLog, this);
    dialog.DoModal();
}
