// Thin wrappers over the common controls the dialogs use: image list, list control, combo box.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include "Str.h"

class CImageList {
public:
    CImageList() = default;
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    int Add(HICON icon);
    HIMAGELIST get() const { return m_list; }

private:
    HIMAGELIST m_list = nullptr;
};

class CListCtrl {
public:
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The list keeps using the image list; its owner keeps it alive as long as the control.
    void SetSmallImageList(const CImageList& images);
    int InsertColumn(int index, const char* title, int format, int width);
    int InsertItem(int index, const char* text, int image);
    int GetItemCount() const;
    CString GetItemText(int index, int subItem) const;
    int ClientWidth() const;

private:
    HWND m_hWnd = nullptr;
};

class CComboBox {
public:
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    int AddString(const char* text);
    // Selects the first item whose text starts with text (any case), searching after item `after`.
    int SelectString(int after, const char* text);
    int GetCount() const;
    CString GetWindowText() const;

private:
    HWND m_hWnd = nullptr;
};

// Draws the icon resource at its natural size; the caller destroys it.
HICON LoadIconResource(UINT id, int size);
