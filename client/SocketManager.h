// CSocketManager, client role: the one control connection to the host. It connects,
// retries every five seconds while the host cannot be reached, reconnects at once when the
// host closes, and hands each received host code to the main window.
#pragma once

#include "ControlSocket.h"
#include "SocketManagerBase.h"

class CSocketManager : public CSocketManagerBase {
public:
    CSocketManager();
    ~CSocketManager() override;

    // The hidden child window that owns the reconnect timer.
    BOOL CreateWnd(CWnd* parent);

    void SetServer(const char* address, UINT port);
    void Connect();
    void Send(int32_t code);

    CString GetPeerText();
    UINT GetPeerPort();
    CString GetLastErrorText() const;

    void OnReceive(ControlSocket* socket) override;
    void OnConnect(ControlSocket* socket, int error) override;
    void OnClose(ControlSocket* socket, int error) override;

    BEGIN_MSG_MAP(CSocketManager, CSocketManagerBase)
        ON_MESSAGE(WM_TIMER, OnTimer)
    END_MSG_MAP()

private:
    LRESULT OnTimer(WPARAM id, LPARAM);

    void NewConnection();
    void Deliver(UINT message);
    void DeliverCode(int32_t code);
    void Failed(int error);

    ControlSocket* m_pConnection = nullptr; // owned
    CString m_lastErrorText;
    bool m_failureReported = false;
    UINT m_port = 0;
    CString m_address;
    // A socket whose connection attempt failed cannot connect again on Windows; each
    // further attempt gets a fresh one.
    bool m_attempted = false;
    // Whether the host sent one of its codes on the current connection, and how many
    // connections in a row it closed without that.
    bool m_heardFromHost = false;
    int m_silentCloses = 0;
};
