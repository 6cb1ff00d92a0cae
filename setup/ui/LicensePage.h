// LicensePage: the licence text with Yes, No and Back.
#pragma once

#include "WizardPage.h"
#include "resource.h"

class LicensePage : public WizardPage {
public:
    enum { IDD = IDD_LICENSE };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;
};
