// CDialog: modal dialogs from templates.
#include "Dialog.h"

#include <vector>

#include "App.h"

INT_PTR CDialog::DoModal()
{
    HWND parent = m_parent ? m_parent->m_hWnd : nullptr;
    return DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_templateId), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int result)
{
    ::EndDialog(m_hWnd, result);
}

CString CDialog::GetDlgItemText(int id) const
{
    HWND item = GetDlgItem(id);
    int length = GetWindowTextLengthA(item);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(item, text.data(), length + 1);
    return CString(text.data());
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
        return dialog->OnInitDialog();
    }
    dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (dialog == nullptr)
        return FALSE;

    LRESULT result = 0;
    if (dialog->ProcessWindowMessage(message, wParam, lParam, result)) {
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            dialog->OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            dialog->OnCancel();
            return TRUE;
        }
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        dialog->m_hWnd = nullptr;
    }
    return FALSE;
}
