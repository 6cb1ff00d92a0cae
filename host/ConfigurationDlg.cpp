// CConfigurationDlg: shows the settings and writes the changed ones through.
#include "ConfigurationDlg.h"

#include <cstdlib>

#include "TelvaneHost.h"

BOOL CConfigurationDlg::OnInitDialog()
{
    CTelvaneHostApp& app = HostApp();
    m_entries.Attach(GetDlgItem(IDC_DIALUP_CONNECTION));
    const CStringArray& names = app.PhoneBook().EnumerateEntries();
    for (int i = 0; i < names.GetSize(); ++i)
        m_entries.AddString(names.GetAt(i));
    m_entries.SelectString(0, app.GetDialupConnection());

    CString port;
    port.Format("%u", app.GetListeningPort());
    SetDlgItemText(IDC_PORT, port);
    SetDlgItemText(IDC_USERNAME, app.GetUsername());
    SetDlgItemText(IDC_PASSWORD, app.GetPassword());
    // Filling the edits counts as a change; only what the user types afterwards does.
    for (int id : {IDC_PORT, IDC_USERNAME, IDC_PASSWORD})
        SetDlgItemModify(id, FALSE);
    return TRUE;
}

void CConfigurationDlg::OnOK()
{
    // Read everything before the dialog closes and its controls are gone.
    CString entry = m_entries.GetWindowText();
    bool portModified = GetDlgItemModify(IDC_PORT);
    bool userModified = GetDlgItemModify(IDC_USERNAME);
    bool passwordModified = GetDlgItemModify(IDC_PASSWORD);
    CString port = GetDlgItemText(IDC_PORT);
    CString user = GetDlgItemText(IDC_USERNAME);
    CString password = GetDlgItemText(IDC_PASSWORD);
    CDialog::OnOK();

    CTelvaneHostApp& app = HostApp();
    app.SetDialupConnection(entry);
    if (portModified)
        app.SetListeningPort(std::atoi(port));
    if (userModified)
        app.SetUsername(user);
    if (passwordModified)
        app.SetPassword(password);
}
