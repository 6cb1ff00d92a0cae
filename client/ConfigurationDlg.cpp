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
        SetDlgItemModify(id, FALSE);
    return TRUE;
}

void CConfigurationDlg::OnOK()
{
    // Read everything before the dialog closes and its controls are gone.
    bool addressModified = GetDlgItemModify(IDC_SERVER);
    bool portModified = GetDlgItemModify(IDC_PORT);
    CString address = GetDlgItemText(IDC_SERVER);
    CString port = GetDlgItemText(IDC_PORT);
    CDialog::OnOK();

    CTelvaneClientApp& app = ClientApp();
    if (addressModified)
        app.SetAddress(address);
    if (portModified)
        app.SetPort(std::atoi(port));
}
