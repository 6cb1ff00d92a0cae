// CSocketManager, server role: the listening socket and every accepted control connection.
// It hands each received code, with its connection, to the main window and turns a closed
// connection into a disconnect request.
#pragma once

#include "ControlSocket.h"
#include "PtrArray.h"
#include "SocketManagerBase.h"

class CSocketManager;

class ListenSocket : public CAsyncSocket {
public:
    explicit ListenSocket(CSocketManager* manager) : m_pManager(manager) {}

protected:
    void OnAccept(int error) override;

private:
    CSocketManager* m_pManager;
};

class CSocketManager : public CSocketManagerBase {
public:
    CSocketManager();
    ~CSocketManager() override;

    // Listens on port of all local addresses; a port that cannot be bound is not reported.
    void StartListening(UINT port);
    void CloseListener();

    // The open connections in acceptance order; the manager owns them.
    const CPtrArray& Connections() const { return m_connections; }
    ControlSocket* ConnectionAt(int index) const { return static_cast<ControlSocket*>(m_connections.GetAt(index)); }

    void OnAccept(ListenSocket* listener);
    void OnReceive(ControlSocket* socket) override;
    void OnConnect(ControlSocket* socket, int error) override;
    void OnClose(ControlSocket* socket, int error) override;

private:
    // Accepts one waiting connection; false when there was none or it failed.
    bool AcceptOne(ListenSocket* listener);
    void Deliver(ControlSocket* socket, int32_t code);

    CPtrArray m_connections;
    ListenSocket m_listener;
};
