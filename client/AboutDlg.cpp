// CAboutDlg: the texts come from the revision keywords of this file's last check-in.
#include "AboutDlg.h"

#include "RevisionKeyword.h"

const char* const CAboutDlg::VersionSource = "$Name: TelvaneClient_4_3_4 $";
const char* const CAboutDlg::DateSource = "$Date: 2002/11/12 21:27:37 $";

BOOL CAboutDlg::OnInitDialog()
{
    SetDlgItemText(IDC_VERSION, CutRevisionKeyword(VersionSource).c_str());
    SetDlgItemText(IDC_BUILD_DATE, CutRevisionKeyword(DateSource).c_str());
    return TRUE;
}
