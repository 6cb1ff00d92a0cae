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

void ControlSocket::SendCodes(const int32_t* codes, int count)
{
    unsigned char units[kMaxUnitsAtOnce * kControlUnitSize];
    if (count > kMaxUnitsAtOnce)
        count = kMaxUnitsAtOnce;
    for (int i = 0; i < count; ++i)
        EncodeControlUnit(codes[i], units + i * kControlUnitSize);
    Send(units, count * kControlUnitSize);
}

void ControlSocket::RefreshPeer()
{
    // The peer of a connection never changes: once known it is kept, which spares a system
    // call for every log line that names it.
    if (m_peerKnown)
        return;
    CString address;
    UINT port = 0;
    if (GetPeerName(address, port)) {
        m_peerAddress = address;
        m_peerPort = port;
        m_peerKnown = true;
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
