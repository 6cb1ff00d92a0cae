// CTelvaneHostApp: the host program's application object and its four settings.
#pragma once

#include "DialupConnection.h"
#include "TelvaneApp.h"

class CTelvaneHostApp : public CTelvaneApp {
public:
    CTelvaneHostApp();

    CString GetDialupConnection() const { return m_dialupConnection; }
    CString GetUsername() const { return m_username; }
    CString GetPassword() const { return m_password; }
    UINT GetListeningPort() const { return m_listeningPort; }

    // Each setter keeps the value and writes it to the registry at once.
    void SetDialupConnection(const char* entry);
    void SetListeningPort(int port);
    void SetUsername(const char* name);
    void SetPassword(const char* password);

    // Lists the phone book for the Configuration dialog; it never dials.
    CDialupConnection& PhoneBook() { return m_phoneBook; }

protected:
    void ReadSettings() override;
    CFrameWnd* NewMainFrame() override;

private:
    CDialupConnection m_phoneBook;
    CString m_dialupConnection;
    CString m_username;
    CString m_password; // stored as plain text, as the settings always were
    UINT m_listeningPort = 0;
};

CTelvaneHostApp& HostApp();
