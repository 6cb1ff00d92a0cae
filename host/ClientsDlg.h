// CClientsDlg: the modal Connected Clients dialog, a snapshot of the line's users.
#pragma once

#include "Controls.h"
#include "Dialog.h"
#include "PtrArray.h"
#include "resource.h"

class CClientsDlg : public CDialog {
public:
    enum { IDD = IDD_CLIENTS };
    CClientsDlg(const CPtrArray& users, CWnd* parent) : CDialog(IDD, parent), m_users(users) {}

protected:
    BOOL OnInitDialog() override;

private:
    const CPtrArray& m_users; // ControlSocket*
    CImageList m_images;
    CListCtrl m_list;
};
