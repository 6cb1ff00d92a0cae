// Common-control wrappers.
#include "Controls.h"

#include <vector>

#include "App.h"

CImageList::~CImageList()
{
    if (m_list != nullptr)
        ImageList_Destroy(m_list);
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    m_list = ImageList_Create(cx, cy, flags, initial, grow);
    return m_list != nullptr;
}

int CImageList::Add(HICON icon)
{
    return ImageList_AddIcon(m_list, icon);
}

void CListCtrl::SetSmallImageList(const CImageList& images)
{
    ListView_SetImageList(m_hWnd, images.get(), LVSIL_SMALL);
}

int CListCtrl::InsertColumn(int index, const char* title, int format, int width)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(title);
    return static_cast<int>(SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int index, const char* text, int image)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    return static_cast<int>(SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::GetItemCount() const
{
    return static_cast<int>(SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

CString CListCtrl::GetItemText(int index, int subItem) const
{
    char text[1024] = "";
    LVITEMA item = {};
    item.iSubItem = subItem;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(m_hWnd, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    return CString(text);
}

int CListCtrl::ClientWidth() const
{
    RECT rect;
    GetWindowRect(m_hWnd, &rect);
    return rect.right - rect.left;
}

int CComboBox::AddString(const char* text)
{
    return static_cast<int>(SendMessageA(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CComboBox::SelectString(int after, const char* text)
{
    return static_cast<int>(SendMessageA(m_hWnd, CB_SELECTSTRING, after, reinterpret_cast<LPARAM>(text)));
}

int CComboBox::GetCount() const
{
    return static_cast<int>(SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0));
}

CString CComboBox::GetWindowText() const
{
    int length = GetWindowTextLengthA(m_hWnd);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    return CString(text.data());
}

HICON LoadIconResource(UINT id, int size)
{
    return static_cast<HICON>(
        LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}
