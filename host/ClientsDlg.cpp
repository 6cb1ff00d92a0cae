// CClientsDlg: one row per user of the line, named by its host name and port.
#include "ClientsDlg.h"

#include "ControlSocket.h"
#include "Handles.h"
#include "Tools.h"

BOOL CClientsDlg::OnInitDialog()
{
    m_images.Create(16, 16, ILC_COLOR8 | ILC_MASK, 4, 4);
    UniqueHIcon icon(LoadIconResource(IDI_CLIENT_ROW, 16));
    m_images.Add(icon.get());
    m_list.Attach(GetDlgItem(IDC_CLIENT_LIST));
    m_list.SetSmallImageList(m_images);
    for (int i = 0; i < m_users.GetSize(); ++i) {
        auto* user = static_cast<ControlSocket*>(m_users.GetAt(i));
        CString address = user->PeerAddress();
        CString text;
        text.Format("%s on port %u", CTools::ResolveHostName(address).GetString(), user->PeerPort());
        m_list.InsertItem(i, text, 0);
    }
    return TRUE;
}
