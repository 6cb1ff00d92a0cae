// TargetDirPage: the installation folder, with the free-space check and Browse.
#pragma once

#include <cstdint>
#include <string>

#include "WizardPage.h"
#include "resource.h"

class TargetDirPage : public WizardPage {
public:
    enum { IDD = IDD_TARGET_DIR };
    using WizardPage::WizardPage;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;

private:
    void checkSpace(const std::string& path);

    std::uint32_t m_required = 0;
};
