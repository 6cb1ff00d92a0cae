// UserInfoPage: three fields the user may fill and setup does not keep.
#pragma once

#include "WizardPage.h"
#include "resource.h"

class UserInfoPage : public WizardPage {
public:
    enum { IDD = IDD_USER_INFO };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;
};
