// FinishPage: the end of the wizard with its two check boxes.
#pragma once

#include "WizardPage.h"
#include "resource.h"

class FinishPage : public WizardPage {
public:
    enum { IDD = IDD_FINISH };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;
};
