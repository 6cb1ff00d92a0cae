// CConfigurationDlg: shows the settings and writes the changed ones through.
#include "ConfigurationDlg.h"

#include <cstdlib>

#include "TelvaneClient.h"

BOOL CConfigurationDlg::OnInitDialog()
{
    CTelvaneClientApp& app = ClientApp();
    SetDlgItemText(IDC_SERVER, app.GetAddress());
    CString port;
    port.Format("%u", app.GetPort());
    SetDlgItemText(IDC_PORT, port);
    // Filling the edits counts as a change; only what the user types afterwards does.
    for (int id : {IDC_SERVER, IDC_PORT})
        ::SendMessageA(GetDlgItem(id), EM_SETMODIFY, FALSE, 0);
    return TRUE;
}

bool CConfigurationDlg::Modified(int id) const
{
    return ::SendMessageA(GetDlgItem(id), EM_GETMODIFY, 0, 0) != 0;
}

void CConfigurationDlg::OnOK()
{
    // Read everything before the dialog closes and its controls are gone.
    bool addressModified = Modified(IDC_SERVER);
    bool portModified = Modified(IDC_PORT);
    CString address = GetDlgItemText(IDC_SERVER);
    CString port = GetDlgItemText(IDC_PORT);
    CDialog::OnOK();

    CTelvaneClientApp& app = ClientApp();
    if (addressModified)
        app.SetAddress(address);
    if (portModified)
        app.SetPort(std::atoi(port));
}
