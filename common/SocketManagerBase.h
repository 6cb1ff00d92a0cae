// The notification interface of CSocketManager: what a ControlSocket tells its manager.
// The host's manager (server role) and the client's (client role) implement it.
#pragma once

#include "Wnd.h"

class ControlSocket;

class CSocketManagerBase : public CWnd {
public:
    virtual void OnReceive(ControlSocket* socket) = 0;
    virtual void OnConnect(ControlSocket* socket, int error) = 0;
    virtual void OnClose(ControlSocket* socket, int error) = 0;
};
