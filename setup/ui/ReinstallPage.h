// ReinstallPage: the question asked when this version is installed already.
#pragma once

#include "WizardPage.h"
#include "resource.h"

class ReinstallPage : public WizardPage {
public:
    enum { IDD = IDD_REINSTALL };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;
};
