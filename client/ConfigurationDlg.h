// CConfigurationDlg: the client's settings: the host's address and port.
#pragma once

#include "Dialog.h"
#include "resource.h"

class CConfigurationDlg : public CDialog {
public:
    enum { IDD = IDD_CONFIGURATION };
    explicit CConfigurationDlg(CWnd* parent) : CDialog(IDD, parent) {}

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};
