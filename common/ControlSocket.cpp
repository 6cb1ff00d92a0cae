// ControlSocket: events to the manager, units to and from the wire.
#include "ControlSocket.h"

#include "App.h"
#include "SocketManagerBase.h"

void ControlSocket::SendCode(int32_t code)
{
    unsigned char unit[kControlUnitSize];
    EncodeControlUnit(code, unit);
    Send(unit, kControlUnitSize);
}

bool ControlSocket::ReadUnit(int32_t& code)
{
    int got = Receive(m_unit.Space(), m_unit.Missing());
    if (got <= 0)
        return false;
    if (!m_unit.Added(got))
        return false;
    code = m_unit.Take();
    return true;
}

void ControlSocket::RefreshPeer()
{
    CString address;
    UINT port = 0;
    if (GetPeerName(address, port)) {
        m_peerAddress = address;
        m_peerPort = port;
    }
}

CString ControlSocket::PeerAddress()
{
    RefreshPeer();
    return m_peerAddress;
}

UINT ControlSocket::PeerPort()
{
    RefreshPeer();
    return m_peerPort;
}

void ControlSocket::OnReceive(int)
{
    if (m_pManager == nullptr) {
        AfxMessageBox("I have no socket manager.. how can this be?");
        return;
    }
    m_pManager->OnReceive(this);
}

void ControlSocket::OnConnect(int error)
{
    if (m_pManager != nullptr)
        m_pManager->OnConnect(this, error);
}

void ControlSocket::OnClose(int error)
{
    if (m_pManager != nullptr)
        m_pManager->OnClose(this, error);
}
