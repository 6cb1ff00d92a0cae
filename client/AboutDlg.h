// CAboutDlg: the client's about box with the version and build date of this build.
#pragma once

#include "Dialog.h"
#include "resource.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };
    explicit CAboutDlg(CWnd* parent) : CDialog(IDD, parent) {}

    static const char* const VersionSource;
    static const char* const DateSource;

protected:
    BOOL OnInitDialog() override;
};
