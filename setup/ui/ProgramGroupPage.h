// ProgramGroupPage: the Start-menu folder for the shortcuts.
#pragma once

#include "WizardPage.h"
#include "resource.h"

class ProgramGroupPage : public WizardPage {
public:
    enum { IDD = IDD_PROGRAM_GROUP };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;
};
