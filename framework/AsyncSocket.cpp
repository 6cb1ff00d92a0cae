// CAsyncSocket over WSAAsyncSelect: one hidden window per process receives every
// socket's events and hands each to the object that owns the socket.
#include "AsyncSocket.h"

#include <deque>
#include <map>
#include <utility>

namespace {

const UINT kSocketMessage = WM_APP + 0x100;
// Posted at each close; when it comes out of the queue, the handles closed up to it are let go.
const UINT kReleaseMessage = WM_APP + 0x101;
const char kNotifyClass[] = "TelvaneSocketNotify";

// Closed sockets whose handles are kept until the queue has passed their release message,
// with the number of that message, oldest first.
std::deque<std::pair<DWORD, SOCKET>>& Releasing()
{
    static std::deque<std::pair<DWORD, SOCKET>> releasing;
    return releasing;
}

std::map<SOCKET, CAsyncSocket*>& Sockets()
{
    static std::map<SOCKET, CAsyncSocket*> sockets;
    return sockets;
}

} // namespace

class SocketNotifyWindow {
public:
    static HWND Get()
    {
        static HWND hwnd = Create();
        return hwnd;
    }

private:
    static HWND Create()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kNotifyClass;
        RegisterClassA(&wc);
        // A hidden top-level window that is never shown: message-only windows (HWND_MESSAGE)
        // exist from Windows 2000 on, and on 95, 98, ME and NT 4 no socket would get an event.
        return CreateWindowExA(WS_EX_TOOLWINDOW, kNotifyClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                               nullptr);
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kReleaseMessage) {
            CAsyncSocket::ReleaseClosed(static_cast<DWORD>(wParam));
            return 0;
        }
        if (message != kSocketMessage)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        CAsyncSocket::Dispatch(static_cast<SOCKET>(wParam), WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam));
        return 0;
    }
};

void CAsyncSocket::Dispatch(SOCKET s, int event, int error)
{
    // Events can still be queued for a socket that has been closed since: they are dropped.
    auto found = Sockets().find(s);
    if (found == Sockets().end())
        return;
    CAsyncSocket* socket = found->second;
    switch (event) {
    case FD_READ:
        socket->OnReceive(error);
        break;
    case FD_WRITE:
        socket->OnSend(error);
        break;
    case FD_OOB:
        socket->OnOutOfBandData(error);
        break;
    case FD_ACCEPT:
        socket->OnAccept(error);
        break;
    case FD_CONNECT:
        socket->OnConnect(error);
        break;
    case FD_CLOSE:
        socket->OnClose(error);
        break;
    default:
        break;
    }
}

CAsyncSocket::~CAsyncSocket()
{
    Close();
}

BOOL CAsyncSocket::Attach(SOCKET s, long events)
{
    m_hSocket = s;
    m_events = events;
    Sockets()[s] = this;
    return AsyncSelect(events);
}

void CAsyncSocket::Detach()
{
    auto found = Sockets().find(m_hSocket);
    if (found != Sockets().end() && found->second == this)
        Sockets().erase(found);
    m_hSocket = INVALID_SOCKET;
}

BOOL CAsyncSocket::Create(UINT port, int type, long events, const char* address)
{
    SOCKET s = socket(AF_INET, type, 0);
    if (s == INVALID_SOCKET)
        return FALSE;
    if (!Attach(s, events)) {
        int error = WSAGetLastError();
        Close();
        WSASetLastError(error);
        return FALSE;
    }
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<u_short>(port));
    local.sin_addr.s_addr = address ? inet_addr(address) : htonl(INADDR_ANY);
    if (bind(m_hSocket, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == SOCKET_ERROR) {
        int error = WSAGetLastError();
        Close();
        WSASetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL CAsyncSocket::Listen(int backlog)
{
    return listen(m_hSocket, backlog) != SOCKET_ERROR;
}

BOOL CAsyncSocket::Accept(CAsyncSocket& connected)
{
    SOCKET s = accept(m_hSocket, nullptr, nullptr);
    if (s == INVALID_SOCKET)
        return FALSE;
    return connected.Attach(s, m_events);
}

BOOL CAsyncSocket::Connect(const char* hostAddress, UINT port)
{
    sockaddr_in remote = {};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<u_short>(port));
    remote.sin_addr.s_addr = inet_addr(hostAddress);
    if (remote.sin_addr.s_addr == INADDR_NONE) {
        hostent* host = gethostbyname(hostAddress);
        if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != 4) {
            WSASetLastError(WSAEINVAL);
            return FALSE;
        }
        memcpy(&remote.sin_addr, host->h_addr_list[0], 4);
    }
    return connect(m_hSocket, reinterpret_cast<sockaddr*>(&remote), sizeof(remote)) != SOCKET_ERROR;
}

int CAsyncSocket::Send(const void* data, int length, int flags)
{
    return send(m_hSocket, static_cast<const char*>(data), length, flags);
}

int CAsyncSocket::Receive(void* buffer, int length, int flags)
{
    return recv(m_hSocket, static_cast<char*>(buffer), length, flags);
}

BOOL CAsyncSocket::AsyncSelect(long events)
{
    return WSAAsyncSelect(m_hSocket, SocketNotifyWindow::Get(), kSocketMessage, events) != SOCKET_ERROR;
}

namespace {

BOOL AddressText(const sockaddr_in& address, CString& text, UINT& port)
{
    text = inet_ntoa(address.sin_addr);
    port = ntohs(address.sin_port);
    return TRUE;
}

} // namespace

BOOL CAsyncSocket::GetPeerName(CString& address, UINT& port) const
{
    sockaddr_in peer = {};
    int length = sizeof(peer);
    if (getpeername(m_hSocket, reinterpret_cast<sockaddr*>(&peer), &length) == SOCKET_ERROR)
        return FALSE;
    return AddressText(peer, address, port);
}

BOOL CAsyncSocket::GetSockName(CString& address, UINT& port) const
{
    sockaddr_in local = {};
    int length = sizeof(local);
    if (getsockname(m_hSocket, reinterpret_cast<sockaddr*>(&local), &length) == SOCKET_ERROR)
        return FALSE;
    return AddressText(local, address, port);
}

void CAsyncSocket::Close()
{
    if (m_hSocket == INVALID_SOCKET)
        return;
    SOCKET s = m_hSocket;
    Detach();
    // Events of this socket may still wait in the queue. Were its handle closed now, the
    // system could give the value to the next socket it creates, and those events would reach
    // that one (a stale close would end a fresh connection). So the socket gets no further
    // events, the peer is told at once that the connection ends, and the handle itself is
    // closed once the queue has passed a message posted now: by then every event it had
    // queued has come out and been dropped, for its handle named no socket object. Taking
    // the events out of the queue instead cost each close the whole queue.
    WSAAsyncSelect(s, SocketNotifyWindow::Get(), 0, 0);
    shutdown(s, SD_SEND);
    static DWORD sequence = 0;
    ++sequence;
    if (!PostMessageA(SocketNotifyWindow::Get(), kReleaseMessage, sequence, 0)) {
        closesocket(s); // the queue is full: no message would come to let it go
        return;
    }
    Releasing().emplace_back(sequence, s);
}

void CAsyncSocket::ReleaseClosed(DWORD upTo)
{
    auto& releasing = Releasing();
    while (!releasing.empty() && static_cast<LONG>(releasing.front().first - upTo) <= 0) {
        closesocket(releasing.front().second);
        releasing.pop_front();
    }
}
