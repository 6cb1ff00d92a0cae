// StartPage: texts, own steps and Back, Next and Cancel.
#include "StartPage.h"

#include "SetupContext.h"
#include "WizardFlow.h"

bool StartPage::onInitDialog(HWND)
{
    attachPicture();
    setCaption("StartTitle");
    setText(IDC_TEXT1, "StartSText1");
    setText(IDC_TEXT2, "StartSText2");
    setText(IDC_BACK, "StartBack");
    setText(IDC_NEXT, "StartNext");
    setText(IDCANCEL, "StartCancel");
    std::string summary = wizard::startSummary(m_context.getVariable("StartEText1"), m_context.appDir(),
                                               m_context.getVariable("StartEText2"), m_context.programGroup());
    SendMessageA(item(IDC_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(summary.c_str()));
    centre();
    return true;
}

bool StartPage::onCommand(HWND, int id, int)
{
    return backNextCancel(id);
}
