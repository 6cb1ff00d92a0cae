// ReadmePage: the script's readme file in a read-only box.
#pragma once

#include "WizardPage.h"
#include "resource.h"

class ReadmePage : public WizardPage {
public:
    enum { IDD = IDD_README };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;
};
