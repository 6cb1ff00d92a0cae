// ExitSetupPage: Resume keeps the page, Exit Setup, Esc and the close box leave the wizard.
#include "ExitSetupPage.h"

bool ExitSetupPage::onInitDialog(HWND)
{
    setCaption("ExitSetupTitle");
    setText(IDC_TEXT1, "ExitSetupText1");
    setText(IDC_TEXT2, "ExitSetupText2");
    setText(IDC_TEXT3, "ExitSetupText3");
    setText(IDC_BACK, "ExitResume");
    setText(IDC_EXIT, "ExitExit");
    centre();
    return true;
}

bool ExitSetupPage::onCommand(HWND, int id, int)
{
    switch (id) {
    case IDC_EXIT:
    case IDCANCEL:
        end(CmdClose);
        return true;
    case IDC_BACK:
        end(CmdResume);
        return true;
    default:
        return false;
    }
}
