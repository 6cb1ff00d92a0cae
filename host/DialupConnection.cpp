// CDialupConnection: dialing, status poll, hang-up and phone-book listing over RAS.
#include "DialupConnection.h"

#include <cstring>
#include <vector>

#include "App.h"

CDialupConnection* CDialupConnection::s_current = nullptr;

CDialupConnection::CDialupConnection(CWnd* notifyWnd) : m_pNotifyWnd(notifyWnd)
{
    std::memset(&m_dialParams, 0, sizeof(m_dialParams));
    s_current = this;
}

CDialupConnection::~CDialupConnection()
{
    if (s_current == this)
        s_current = nullptr;
}

BOOL CDialupConnection::CreateNotifyWindow()
{
    m_dialParams.dwSize = sizeof(RasDialParams1052);
    m_dialParams.szEntryName[0] = '\0';
    m_dialParams.szPhoneNumber[0] = '\0';
    m_dialParams.szUserName[0] = '\0';
    m_dialParams.szPassword[0] = '\0';
    HWND parent = m_pNotifyWnd ? m_pNotifyWnd->m_hWnd : nullptr;
    return CreateEx(0, nullptr, "", WS_CHILD | WS_DISABLED, 0, 0, 0, 0, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ChildId)));
}

CString CDialupConnection::ErrorText(DWORD error)
{
    char text[256 + 1] = "";
    if (RasGetErrorStringA(error, text, sizeof(text)) != 0 || text[0] == '\0')
        return CString("Undefined RAS Error");
    text[sizeof(text) - 1] = '\0';
    return CString(text);
}

void CDialupConnection::StoreErrorText(DWORD error)
{
    m_lastErrorText.Format("%s", ErrorText(error).GetString());
}

void CDialupConnection::Notify(UINT message, WPARAM wParam)
{
    if (m_pNotifyWnd != nullptr && m_pNotifyWnd->m_hWnd != nullptr)
        m_pNotifyWnd->SendMessage(message, wParam);
}

DWORD CDialupConnection::Dial()
{
    m_connection = nullptr;
    m_state = Dialing;
    DWORD error =
        RasDialA(nullptr, nullptr, &m_dialParams, 0, reinterpret_cast<void*>(&DialNotification), &m_connection);
    if (error != 0) {
        StoreErrorText(error);
        if (m_connection != nullptr)
            RasHangUpA(m_connection);
        m_state = Idle;
        Notify(m_msgError, reinterpret_cast<WPARAM>(m_lastErrorText.GetString()));
        return error;
    }
    return 0;
}

void WINAPI CDialupConnection::DialNotification(UINT, DWORD state, DWORD error)
{
    CDialupConnection* self = s_current;
    if (self == nullptr)
        return;
    // The dial service may call from a thread of its own; the state changes and the
    // owner's handlers must run on the UI thread, so the report is carried there and this
    // thread waits until it has been handled.
    if (self->m_hWnd != nullptr)
        ::SendMessageA(self->m_hWnd, DialEventMessage, state, error);
    else
        self->HandleDialEvent(state, error);
}

LRESULT CDialupConnection::OnDialEvent(WPARAM state, LPARAM error)
{
    HandleDialEvent(static_cast<DWORD>(state), static_cast<DWORD>(error));
    return 0;
}

void CDialupConnection::HandleDialEvent(DWORD state, DWORD error)
{
    if (error != 0) {
        StoreErrorText(error);
        KillTimer(StatusPollTimer);
        m_state = Idle;
        Notify(m_msgError, reinterpret_cast<WPARAM>(m_lastErrorText.GetString()));
        RasHangUpA(m_connection);
    } else if (state == kRasConnected) {
        m_state = Connected;
        Notify(m_msgConnected, 0);
        if (SetTimer(StatusPollTimer, StatusPollPeriod) == 0)
            AfxMessageBox("Unable to allocate timer");
    } else if (state == kRasDisconnected) {
        KillTimer(StatusPollTimer);
        m_state = Idle;
        Notify(m_msgDisconnected, 0);
        if (RasHangUpA(m_connection) != 0)
            AfxMessageBox("Unable to hang up the connection");
    } else {
        Notify(m_msgProgress, state);
    }
}

LRESULT CDialupConnection::OnTimer(WPARAM id, LPARAM lParam)
{
    if (id != StatusPollTimer)
        return DefWindowProc(WM_TIMER, id, lParam);
    PollStatus();
    return 0;
}

void CDialupConnection::PollStatus()
{
    RasConnStatus160 status;
    std::memset(&status, 0, sizeof(status));
    status.dwSize = sizeof(status);
    DWORD error = RasGetConnectStatusA(m_connection, &status);
    if (error == kRasInvalidHandle) {
        HangUp();
    } else if (error != 0) {
        m_lastErrorText.Format("Unable to determine connection status because %s", ErrorText(error).GetString());
        HangUp();
    } else if (status.rasconnstate == kRasDisconnected && m_state == Connected) {
        HangUp();
    }
}

DWORD CDialupConnection::HangUp()
{
    if (m_hWnd != nullptr)
        KillTimer(StatusPollTimer);
    DWORD result = RasHangUpA(m_connection);
    m_state = Idle;
    if (result != 0 && result != kRasInvalidHandle)
        StoreErrorText(result);
    Notify(m_msgDisconnected, 0);
    return result;
}

const CStringArray& CDialupConnection::EnumerateEntries()
{
    // The probe with one record tells how many bytes the whole phone book needs.
    RasEntryName264 probe;
    std::memset(&probe, 0, sizeof(probe));
    probe.dwSize = sizeof(probe);
    DWORD bytes = sizeof(probe);
    DWORD count = 0;
    RasEnumEntriesA(nullptr, nullptr, &probe, &bytes, &count);
    if (bytes == 0) {
        AfxMessageBox("No entries available in default phone book");
        m_entryNames.RemoveAll();
        return m_entryNames;
    }

    DWORD records = bytes / sizeof(RasEntryName264);
    if (records == 0)
        records = 1; // a service that asks for less than one record still gets one
    std::vector<RasEntryName264> entries(records);
    std::memset(entries.data(), 0, records * sizeof(RasEntryName264));
    entries[0].dwSize = sizeof(RasEntryName264);
    bytes = records * sizeof(RasEntryName264);
    count = 0;
    DWORD error = RasEnumEntriesA(nullptr, nullptr, entries.data(), &bytes, &count);
    if (error != 0) {
        StoreErrorText(error);
        return m_entryNames;
    }
    m_entryNames.RemoveAll();
    for (DWORD i = 0; i < count && i < records; ++i) {
        entries[i].szEntryName[sizeof(entries[i].szEntryName) - 1] = '\0';
        m_entryNames.Add(CString(entries[i].szEntryName));
    }
    return m_entryNames;
}
