// CSocketManager, client role.
#include "SocketManager.h"

#include "App.h"
#include "ClientMessages.h"
#include "ConnectError.h"
#include "ControlCodes.h"

CSocketManager::CSocketManager()
{
    NewConnection();
}

CSocketManager::~CSocketManager()
{
    delete m_pConnection; // closes it; the host takes that as a disconnect request
}

BOOL CSocketManager::CreateWnd(CWnd* parent)
{
    return CreateEx(0, nullptr, "", WS_CHILD, 0, 0, 0, 0, parent->GetSafeHwnd(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(ClientMessage::SocketManagerWindowId)));
}

void CSocketManager::NewConnection()
{
    delete m_pConnection;
    m_pConnection = new ControlSocket;
    m_pConnection->Create(0, SOCK_STREAM, CAsyncSocket::AllEvents);
    m_pConnection->SetManager(this);
    m_attempted = false;
    m_heardFromHost = false;
}

void CSocketManager::SetServer(const char* address, UINT port)
{
    m_address = address;
    m_port = port;
}

void CSocketManager::Connect()
{
    KillTimer(ClientMessage::ReconnectTimer);
    if (m_attempted)
        NewConnection();
    m_attempted = true;
    if (m_pConnection->Connect(m_address, m_port))
        return;
    int error = CAsyncSocket::GetLastError();
    if (error == WSAEWOULDBLOCK)
        return; // the outcome follows as the connect notification
    // The attempt failed before it started (a name nobody knows, an address the system
    // refuses). No notification would follow and the client would wait for ever: it is
    // reported and retried like any failed attempt.
    if (error == WSAEINVAL && inet_addr(m_address) == INADDR_NONE && !m_failureReported)
        m_lastErrorText.Format("Unable to resolve the server address %s", m_address.GetString());
    Failed(error);
}

void CSocketManager::Send(int32_t code)
{
    m_pConnection->SendCode(code);
}

CString CSocketManager::GetPeerText()
{
    return m_pConnection->PeerAddress();
}

UINT CSocketManager::GetPeerPort()
{
    return m_pConnection->PeerPort();
}

CString CSocketManager::GetLastErrorText() const
{
    return m_lastErrorText.IsEmpty() ? CString(kUnknownErrorText) : m_lastErrorText;
}

void CSocketManager::Deliver(UINT message)
{
    if (CWnd* main = AfxGetApp()->m_pMainWnd)
        main->SendMessage(message, reinterpret_cast<WPARAM>(m_pConnection));
}

void CSocketManager::DeliverCode(int32_t code)
{
    // Only the host-to-client codes reach the main window: a peer must not be able to send
    // it the window system's messages or the client's internal notifications.
    if (!ControlCode::IsHostToClient(code))
        return;
    m_heardFromHost = true;
    Deliver(static_cast<UINT>(code));
}

void CSocketManager::Failed(int error)
{
    if (!m_failureReported) {
        m_failureReported = true;
        if (const char* text = ConnectErrorText(error))
            m_lastErrorText = text;
        Deliver(ClientMessage::ConnectFailure);
    }
    SetTimer(ClientMessage::ReconnectTimer, ClientMessage::ReconnectMs);
}

void CSocketManager::OnConnect(ControlSocket* socket, int error)
{
    if (socket != m_pConnection)
        return;
    if (error == 0) {
        m_failureReported = false;
        Deliver(ClientMessage::HostConnected);
        return;
    }
    Failed(error);
}

LRESULT CSocketManager::OnTimer(WPARAM id, LPARAM)
{
    if (id == ClientMessage::ReconnectTimer)
        Connect();
    return 0;
}

void CSocketManager::OnReceive(ControlSocket* socket)
{
    int32_t code;
    if (socket->ReadUnit(code))
        DeliverCode(code);
}

void CSocketManager::OnClose(ControlSocket* socket, int)
{
    if (socket != m_pConnection)
        return;
    // Whole units the host sent before it closed (the LineOffLine before a reboot) are
    // still acted on; a partial one is dropped with the socket.
    int32_t code;
    for (int guard = 0; guard < 4096 && m_pConnection == socket && socket->ReadUnit(code); ++guard)
        DeliverCode(code);
    m_silentCloses = m_heardFromHost ? 0 : m_silentCloses + 1;
    Deliver(ClientMessage::HostClosed);
    NewConnection();
    // A host that closes again without having said anything (one that accepts and drops
    // every connection) is tried on the reconnect timer: at once, the client would spin
    // through connections as fast as the host takes them, its log growing with each one.
    if (m_silentCloses >= 2)
        SetTimer(ClientMessage::ReconnectTimer, ClientMessage::ReconnectMs);
    else
        Connect();
}
