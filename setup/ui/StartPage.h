// StartPage (named like GDI's StartPage function, so "class StartPage" where both are seen): the summary of folder and
// group before the installation.
#pragma once

#include "WizardPage.h"
#include "resource.h"

class StartPage : public WizardPage {
public:
    enum { IDD = IDD_START };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;
};
