// ExitSetupPage: the Exit Setup question asked by Cancel on the wizard pages.
#pragma once

#include "WizardPage.h"
#include "resource.h"

class ExitSetupPage : public WizardPage {
public:
    enum { IDD = IDD_EXIT_SETUP };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;
};
