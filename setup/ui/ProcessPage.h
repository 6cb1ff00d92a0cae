// ProcessPage: the installation running on its thread, with its progress bar and status line.
#pragma once

#include <memory>

#include "WizardPage.h"
#include "resource.h"

class InstallThread;

class ProcessPage : public WizardPage {
public:
    enum { IDD = IDD_PROCESS };
    ProcessPage(SetupContext& context, HWND dialog);
    ~ProcessPage() override;
    bool onInitDialog(HWND dialog) override;
    bool onCommand(HWND dialog, int id, int code) override;

private:
    std::unique_ptr<InstallThread> m_thread;
    bool m_started = false;
    bool m_asking = false;
    bool m_done = false;
    bool m_leaving = false;
};
