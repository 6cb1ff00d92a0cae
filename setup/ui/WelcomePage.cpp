// WelcomePage: texts, own steps and Back, Next and Cancel.
#include "WelcomePage.h"

#include "SetupContext.h"

bool WelcomePage::onInitDialog(HWND)
{
    attachPicture();
    setCaption("WelcomeTitle");
    setText(IDC_TEXT1, "WelcomeText1");
    setText(IDC_TEXT2, "WelcomeText2");
    setText(IDC_TEXT3, "WelcomeText3");
    setText(IDC_TEXT4, "WelcomeText4");
    setText(IDC_BACK, "WelcomeBack");
    setText(IDC_NEXT, "WelcomeNext");
    setText(IDCANCEL, "WelcomeCancel");
    if (!m_context.variableIsTrue("DlgLanguageDialog"))
        ShowWindow(item(IDC_BACK), SW_HIDE);
    centre();
    return true;
}

bool WelcomePage::onCommand(HWND, int id, int)
{
    return backNextCancel(id);
}
