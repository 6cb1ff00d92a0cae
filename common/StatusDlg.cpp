// CStatusDlg: fills the list from the log when it opens.
#include "StatusDlg.h"

#include "Handles.h"

BOOL CStatusDlg::OnInitDialog()
{
    m_images.Create(16, 16, m_layout.colorFlags, 4, 4);
    for (UINT id : m_layout.kindIcons) {
        UniqueHIcon icon(LoadIconResource(id, 16)); // the image list keeps a copy
        m_images.Add(icon.get());
    }
    m_list.Attach(GetDlgItem(m_layout.listId));
    m_list.SetSmallImageList(m_images);
    m_list.InsertColumn(0, "Status", LVCFMT_LEFT, m_list.ClientWidth() - m_layout.widthMargin);
    for (int i = 0; i < m_log.GetSize(); ++i) {
        const CStatusEntry* entry = m_log.GetAt(i);
        m_list.InsertItem(i, entry->m_text, static_cast<int>(entry->m_kind));
    }
    return TRUE;
}
