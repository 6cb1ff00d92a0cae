// CConfigurationDlg: the host's settings: client port, dial-up entry, user name, password.
#pragma once

#include "Controls.h"
#include "Dialog.h"
#include "resource.h"

class CConfigurationDlg : public CDialog {
public:
    enum { IDD = IDD_CONFIGURATION };
    explicit CConfigurationDlg(CWnd* parent) : CDialog(IDD, parent) {}

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CComboBox m_entries;
};
