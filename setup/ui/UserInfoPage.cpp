// UserInfoPage: texts, own steps and Back, Next and Cancel.
#include "UserInfoPage.h"

#include "SetupContext.h"

bool UserInfoPage::onInitDialog(HWND)
{
    attachPicture();
    setCaption("UserInfoTitle");
    setText(IDC_TEXT1, "UserInfoText1");
    setText(IDC_TEXT2, "UserInfoText2");
    setText(IDC_TEXT3, "UserInfoText3");
    setText(IDC_TEXT4, "UserInfoText4");
    setText(IDC_BACK, "UserInfoBack");
    setText(IDC_NEXT, "UserInfoNext");
    setText(IDCANCEL, "UserInfoCancel");
    centre();
    return true;
}

bool UserInfoPage::onCommand(HWND, int id, int)
{
    return backNextCancel(id);
}
