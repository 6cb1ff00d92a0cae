// ControlSocket: one control connection between a client and the host. It forwards its
// socket events to its manager and reads and writes whole control units.
#pragma once

#include <cstdint>

#include "AsyncSocket.h"
#include "ControlUnit.h"

class CSocketManagerBase;

class ControlSocket : public CAsyncSocket {
public:
    void SetManager(CSocketManagerBase* manager) { m_pManager = manager; }
    CSocketManagerBase* GetManager() const { return m_pManager; }

    // Sends one unit in a single send; the result is the peer's business, not examined.
    void SendCode(int32_t code);
    // Sends count units (at most kMaxUnitsAtOnce) in a single send, so that a later one
    // never waits on the wire for the peer's acknowledgement of an earlier one.
    enum { kMaxUnitsAtOnce = 4 };
    void SendCodes(const int32_t* codes, int count);

    // Reads what is still missing of the current unit. True, with the code, once the unit
    // is whole; false while bytes are still outstanding or nothing could be read.
    bool ReadUnit(int32_t& code);

    // The peer's dotted address and port. The last known values are kept, so they are still
    // there once the peer has gone (a closed connection is logged by its peer's name);
    // an empty text and 0 when never known.
    CString PeerAddress();
    UINT PeerPort();

protected:
    void OnReceive(int error) override;
    void OnConnect(int error) override;
    void OnClose(int error) override;

private:
    CSocketManagerBase* m_pManager = nullptr;
    void RefreshPeer();

    UnitAssembler m_unit;
    CString m_peerAddress;
    UINT m_peerPort = 0;
    bool m_peerKnown = false;
};
