// LicensePage: No and Esc ask whether to leave setup; Resume keeps the page as it was.
#include "LicensePage.h"

#include "SetupContext.h"

bool LicensePage::onInitDialog(HWND)
{
    setCaption("LicenseTitle");
    setText(IDC_TEXT1, "LicenseText1");
    setText(IDC_TEXT2, "LicenseText2");
    setText(IDC_BACK, "LicenseBack");
    setText(IDYES, "LicenseYes");
    setText(IDNO, "LicenseNo");
    loadTextFile(item(IDC_EDIT), m_context.getVariable("License_Pathname"));
    SetFocus(item(IDC_EDIT));
    centre();
    // The focus stays on the licence text.
    return false;
}

bool LicensePage::onCommand(HWND, int id, int)
{
    switch (id) {
    case IDYES:
        end(CmdNext);
        return true;
    case IDC_BACK:
        end(CmdBack);
        return true;
    case IDNO:
    case IDCANCEL:
        return standardCancel();
    default:
        return false;
    }
}
