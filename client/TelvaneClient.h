// CTelvaneClientApp: the client program's application object and its two settings.
#pragma once

#include "App.h"

class CTelvaneClientApp : public CWinApp {
public:
    CTelvaneClientApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    UINT GetPort() const { return m_port; }
    CString GetAddress() const { return m_address; }

    // Each setter keeps the value and writes it to the registry at once.
    void SetAddress(const char* address);
    void SetPort(int port);

private:
    UINT m_port = 0;
    CString m_address;
};

CTelvaneClientApp& ClientApp();
