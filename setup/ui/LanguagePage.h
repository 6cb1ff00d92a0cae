// LanguagePage: the choice of the wizard's language.
#pragma once

#include "WizardPage.h"
#include "resource.h"

class LanguagePage : public WizardPage {
public:
    enum { IDD = IDD_LANGUAGE };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;
};
