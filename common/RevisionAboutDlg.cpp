// CRevisionAboutDlg: the two texts, cut from their keywords when the box opens.
#include "RevisionAboutDlg.h"

#include "RevisionKeyword.h"

BOOL CRevisionAboutDlg::OnInitDialog()
{
    SetDlgItemText(m_keywords.versionId, CutRevisionKeyword(m_keywords.versionSource).c_str());
    SetDlgItemText(m_keywords.dateId, CutRevisionKeyword(m_keywords.dateSource).c_str());
    return TRUE;
}
