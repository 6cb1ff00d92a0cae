// CSocketManager, server role.
#include "SocketManager.h"

#include "App.h"
#include "ControlCodes.h"
#include "HostMessages.h"

void ListenSocket::OnAccept(int error)
{
    CAsyncSocket::OnAccept(error);
    m_pManager->OnAccept(this);
}

CSocketManager::CSocketManager() : m_listener(this)
{
}

CSocketManager::~CSocketManager()
{
    m_listener.Close();
    // Connections still open end with the process; the objects are freed here.
    for (void* p : m_connections)
        delete static_cast<ControlSocket*>(p);
}

void CSocketManager::StartListening(UINT port)
{
    m_listener.Create(port, SOCK_STREAM, CAsyncSocket::AllEvents);
    m_listener.Listen(5);
}

void CSocketManager::CloseListener()
{
    m_listener.Close();
}

void CSocketManager::OnAccept(ListenSocket* listener)
{
    // Every connection that is waiting is taken now: one notification can stand for several
    // (seen under Wine), and the waiting queue of five is soon full, after which further
    // clients wait for their own retries, a second or more each.
    for (int taken = 0; taken < 64 && AcceptOne(listener); ++taken) {}
}

bool CSocketManager::AcceptOne(ListenSocket* listener)
{
    auto* socket = new ControlSocket;
    if (!listener->Accept(*socket)) {
        // Nobody waiting is no failure: the notification of a connection taken earlier.
        if (CAsyncSocket::GetLastError() != WSAEWOULDBLOCK)
            AfxMessageBox("Unable to accept client connect request");
        delete socket;
        return false;
    }
    // Units go out as they are sent: a unit must not wait for the client to acknowledge the
    // one before it (a client delays its acknowledgements).
    BOOL noDelay = TRUE;
    setsockopt(socket->m_hSocket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof(noDelay));
    socket->SetManager(this);
    socket->PeerAddress(); // remembered now, while the peer is surely there
    m_connections.Add(socket);
    if (CWnd* main = AfxGetApp()->m_pMainWnd)
        main->SendMessage(HostMessage::ConnectionAccepted, reinterpret_cast<WPARAM>(socket));
    return true;
}

void CSocketManager::Deliver(ControlSocket* socket, int32_t code)
{
    // Only the client-to-host codes reach the main window: a peer must not be able to send
    // it the window system's messages or the host's internal notifications.
    if (!ControlCode::IsClientToHost(code))
        return;
    if (CWnd* main = AfxGetApp()->m_pMainWnd)
        main->SendMessage(static_cast<UINT>(code), reinterpret_cast<WPARAM>(socket));
}

void CSocketManager::OnReceive(ControlSocket* socket)
{
    int32_t code;
    if (socket->ReadUnit(code))
        Deliver(socket, code);
}

void CSocketManager::OnConnect(ControlSocket*, int)
{
    AfxMessageBox("Tshi shouldn't happen because I'm a server socket");
}

void CSocketManager::OnClose(ControlSocket* socket, int)
{
    // Whole units the peer sent before closing are still acted on; a partial one is dropped.
    int32_t code;
    for (int guard = 0; guard < 4096 && socket->ReadUnit(code); ++guard)
        Deliver(socket, code);

    if (CWnd* main = AfxGetApp()->m_pMainWnd) {
        main->SendMessage(ControlCode::DisconnectRequest, reinterpret_cast<WPARAM>(socket));
        main->SendMessage(HostMessage::ConnectionGone, reinterpret_cast<WPARAM>(socket));
    }
    int index = m_connections.Find(socket);
    if (index >= 0)
        m_connections.RemoveAt(index);
    delete socket;
}
