// CTelvaneApp: the start-up and exit that TelvaneHost and TelvaneClient share. Each
// program's application object derives from it, reads its own settings and makes its
// own main window.
#pragma once

#include "App.h"

class CFrameWnd;

class CTelvaneApp : public CWinApp {
public:
    // Windows Sockets, common controls, the settings key; then the program's settings and
    // its hidden main window. FALSE (the program ends) when Windows Sockets cannot start.
    BOOL InitInstance() override;
    // Destroys the main window, whose destruction ends the program's connections, then
    // Windows Sockets.
    int ExitInstance() override;

protected:
    explicit CTelvaneApp(const char* appName) : CWinApp(appName) {}

    // Called once, after SetRegistryKey: reads every setting into memory.
    virtual void ReadSettings() = 0;
    // The program's main window object, not yet created.
    virtual CFrameWnd* NewMainFrame() = 0;
};
