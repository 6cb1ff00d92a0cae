// WelcomePage: the first words of the wizard.
#pragma once

#include "WizardPage.h"
#include "resource.h"

class WelcomePage : public WizardPage {
public:
    enum { IDD = IDD_WELCOME };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;
};
