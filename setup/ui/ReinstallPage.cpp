// ReinstallPage: Yes removes the earlier installation, No installs over it, Cancel ends setup.
#include "ReinstallPage.h"

bool ReinstallPage::onInitDialog(HWND)
{
    setCaption("ReinstallDialogTitle");
    setText(IDC_TEXT1, "ReinstallDialogText");
    setText(IDC_REINSTALL_YES, "ReinstallDialogYes");
    setText(IDC_REINSTALL_NO, "ReinstallDialogNo");
    setText(IDC_REINSTALL_CANCEL, "ReinstallDialogCancel");
    centre();
    return true;
}

bool ReinstallPage::onCommand(HWND, int id, int)
{
    switch (id) {
    case IDC_REINSTALL_YES:
        end(CmdReinstallUninstall);
        return true;
    case IDC_REINSTALL_NO:
        end(CmdReinstallKeep);
        return true;
    case IDC_REINSTALL_CANCEL:
    case IDCANCEL:
        end(CmdReinstallCancel);
        return true;
    default:
        return false;
    }
}
