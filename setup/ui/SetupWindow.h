// SetupWindow: the painted background window, owner of the splash and controller of the wizard.
#pragma once

#include <windows.h>

#include <memory>

#include "BackBuffer.h"
#include "ReadmeWaitThread.h"
#include "SplashWindow.h"
#include "WindowBase.h"

class SetupContext;

class SetupWindow : public AppWindow {
public:
    explicit SetupWindow(SetupContext& context);
    ~SetupWindow() override;

    // Asks about an installation of this very version, before the window exists; false when
    // setup is to end (exit code 0).
    bool checkEarlierInstallation();

    bool onCreate() override;
    void onSize(int width, int height) override;
    void onPaint() override;
    void onCommand(int code, int a, int b) override;
    void onTimer() override;

private:
    void start();
    bool checkSystemRequirements();
    void showPage(int page);
    void finalActions();
    void runApplicationAndClose();
    void close();

    SetupContext& m_context;
    SplashWindow m_splash;
    BackBuffer m_backBuffer;
    std::unique_ptr<ReadmeWaitThread> m_readmeWait;
    bool m_unattended;
};
