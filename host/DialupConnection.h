// CDialupConnection: the controller of the shared dial-up line. It dials one phone-book
// entry, follows the dial, polls the established line once a second, hangs up, keeps the
// text of the last error and lists the phone book. Outcomes go to the notify window as
// synchronous messages whose numbers the owner sets.
#pragma once

#include "PtrArray.h"
#include "RasApi.h"
#include "Wnd.h"

enum DialState { Idle = 0, Connected = 1, Dialing = 2 };

class CDialupConnection : public CWnd {
public:
    enum { StatusPollTimer = 1044, StatusPollPeriod = 1000, ChildId = 1792 };
    enum { MaxNameLength = 256 };

    explicit CDialupConnection(CWnd* notifyWnd = nullptr);
    ~CDialupConnection() override;

    void SetNotifyWnd(CWnd* wnd) { m_pNotifyWnd = wnd; }
    void SetProgressMessage(UINT message) { m_msgProgress = message; }
    void SetErrorMessage(UINT message) { m_msgError = message; }
    void SetDisconnectedMessage(UINT message) { m_msgDisconnected = message; }
    void SetConnectedMessage(UINT message) { m_msgConnected = message; }

    // The fields the owner copies its settings into before Dial (256 characters at most each).
    char* EntryName() { return m_dialParams.szEntryName; }
    char* UserName() { return m_dialParams.szUserName; }
    char* Password() { return m_dialParams.szPassword; }

    // Called once the notify window exists: prepares the dial record, creates our window.
    BOOL CreateNotifyWindow();

    DWORD Dial();
    DWORD HangUp();
    DialState GetState() const { return m_state; }
    CString GetLastErrorText() const { return m_lastErrorText; }
    const CStringArray& EnumerateEntries();

    // The dial service's report, on whatever thread it came; handled on the UI thread.
    static void WINAPI DialNotification(UINT message, DWORD state, DWORD error);

    BEGIN_MSG_MAP(CDialupConnection, CWnd)
        ON_MESSAGE(WM_TIMER, OnTimer)
        ON_MESSAGE(DialEventMessage, OnDialEvent)
    END_MSG_MAP()

private:
    enum : UINT { DialEventMessage = WM_APP + 0x44 };

    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnDialEvent(WPARAM state, LPARAM error);
    void HandleDialEvent(DWORD state, DWORD error);
    void PollStatus();
    void StoreErrorText(DWORD error);
    void Notify(UINT message, WPARAM wParam);

    static CString ErrorText(DWORD error);

    CStringArray m_entryNames;
    UINT m_msgProgress = 0;
    UINT m_msgError = 0;
    UINT m_msgDisconnected = 0;
    UINT m_msgConnected = 0;
    RasConnHandle m_connection = nullptr;
    CWnd* m_pNotifyWnd;
    RasDialParams1052 m_dialParams;
    CString m_lastErrorText;
    DialState m_state = Idle;

    // The dial service's notification carries no context: it goes to the controller
    // constructed last.
    static CDialupConnection* s_current;
};
