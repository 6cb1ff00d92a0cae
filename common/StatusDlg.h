// CStatusDlg: the modal Status dialog, a snapshot of the status log with one icon per kind.
#pragma once

#include "Controls.h"
#include "Dialog.h"
#include "StatusLog.h"

// What differs between the programs' Status dialogs.
struct StatusDlgLayout {
    UINT templateId;
    int listId;
    UINT kindIcons[3]; // Received, Sent, Event
    UINT colorFlags;   // image-list colour depth
    int widthMargin;   // the column is the list's width minus this
};

class CStatusDlg : public CDialog {
public:
    CStatusDlg(const StatusDlgLayout& layout, const CStatusLog& log, CWnd* parent)
        : CDialog(layout.templateId, parent), m_layout(layout), m_log(log)
    {
    }

protected:
    BOOL OnInitDialog() override;

private:
    StatusDlgLayout m_layout;
    const CStatusLog& m_log;
    CImageList m_images;
    CListCtrl m_list;
};
