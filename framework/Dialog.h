// CDialog: a modal dialog made from a dialog template resource; its messages go
// through the same message map as a window's.
#pragma once

#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_templateId(templateId), m_parent(parent) {}

    // Runs the dialog until EndDialog; returns the code passed to it (IDOK, IDCANCEL), or -1.
    INT_PTR DoModal();
    void EndDialog(int result);

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    CString GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    // An edit control's modified flag, which typing sets (and so does SetDlgItemText).
    BOOL GetDlgItemModify(int id) const { return ::SendMessageA(GetDlgItem(id), EM_GETMODIFY, 0, 0) != 0; }
    void SetDlgItemModify(int id, BOOL modified) { ::SendMessageA(GetDlgItem(id), EM_SETMODIFY, modified, 0); }

protected:
    // Return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    UINT m_templateId;
    CWnd* m_parent;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
