// CAboutDlg: the client's about box with the version and build date of this build.
#pragma once

#include "RevisionAboutDlg.h"
#include "resource.h"

class CAboutDlg : public CRevisionAboutDlg {
public:
    enum { IDD = IDD_ABOUTBOX };
    explicit CAboutDlg(CWnd* parent);

    static const char* const VersionSource;
    static const char* const DateSource;
};
