// CAboutDlg: the texts come from the revision keywords of this file's last check-in.
#include "AboutDlg.h"

const char* const CAboutDlg::VersionSource = "$Name: TelvaneHost_4_3_4 $";
const char* const CAboutDlg::DateSource = "$Date: 2002/11/12 21:29:16 $";

CAboutDlg::CAboutDlg(CWnd* parent)
    : CRevisionAboutDlg(IDD, parent, {IDC_VERSION, VersionSource, IDC_BUILD_DATE, DateSource})
{
}
