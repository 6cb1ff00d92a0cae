// CTelvaneClientApp: the client program's application object and its two settings.
#pragma once

#include "TelvaneApp.h"

class CTelvaneClientApp : public CTelvaneApp {
public:
    CTelvaneClientApp();

    UINT GetPort() const { return m_port; }
    CString GetAddress() const { return m_address; }

    // Each setter keeps the value and writes it to the registry at once.
    void SetAddress(const char* address);
    void SetPort(int port);

protected:
    void ReadSettings() override;
    CFrameWnd* NewMainFrame() override;

private:
    UINT m_port = 0;
    CString m_address;
};

CTelvaneClientApp& ClientApp();
