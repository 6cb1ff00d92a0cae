// CAsyncSocket: a non-blocking Windows Sockets socket whose events (readable, writable,
// out-of-band data, accept, connect, close) arrive as virtual calls on the UI thread.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include "Str.h"

class CAsyncSocket {
public:
    enum { AllEvents = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE };

    CAsyncSocket() = default;
    virtual ~CAsyncSocket();
    CAsyncSocket(const CAsyncSocket&) = delete;
    CAsyncSocket& operator=(const CAsyncSocket&) = delete;

    // Creates the socket, binds it to port (0: any) on all local addresses or on address,
    // and asks for the given events.
    BOOL Create(UINT port = 0, int type = SOCK_STREAM, long events = AllEvents, const char* address = nullptr);
    BOOL Listen(int backlog = 5);
    // Accepts a pending connection into connected, which receives this socket's events.
    virtual BOOL Accept(CAsyncSocket& connected);
    // Starts a connection to a dotted address or a host name (resolved here, blocking).
    // FALSE with WSAEWOULDBLOCK means the outcome follows as OnConnect.
    BOOL Connect(const char* hostAddress, UINT port);
    int Send(const void* data, int length, int flags = 0);
    int Receive(void* buffer, int length, int flags = 0);
    BOOL AsyncSelect(long events = AllEvents);
    BOOL GetPeerName(CString& address, UINT& port) const;
    BOOL GetSockName(CString& address, UINT& port) const;
    void Close();

    static int GetLastError() { return WSAGetLastError(); }

    SOCKET m_hSocket = INVALID_SOCKET;

protected:
    virtual void OnReceive(int) {}
    virtual void OnSend(int) {}
    virtual void OnOutOfBandData(int) {}
    virtual void OnAccept(int) {}
    virtual void OnConnect(int) {}
    virtual void OnClose(int) {}

private:
    BOOL Attach(SOCKET s, long events);
    void Detach();
    static void Dispatch(SOCKET s, int event, int error);
    static void ReleaseClosed(DWORD upTo);

    long m_events = 0;

    friend class SocketNotifyWindow;
};
