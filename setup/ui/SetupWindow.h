// SetupWindow: the main window of the setup program.
#pragma once

#include <windows.h>

// For now only what the start-up needs: the class registration, a window the message loop
// can run for, and the end of the run when it goes. Background painting, the splash and the
// wizard pages come with the setup user interface.
class SetupWindow {
public:
    explicit SetupWindow(bool unattended);
    ~SetupWindow();
    SetupWindow(const SetupWindow&) = delete;
    SetupWindow& operator=(const SetupWindow&) = delete;

    // Whether setup goes on; the earlier-installation check of the wizard flow is not there
    // yet, so every run goes on.
    bool checkEarlierInstallation();
    // Shows the window: the wizard that will decide about it is not there yet.
    void onCreate(HWND window);

    HWND handle() const { return m_window; }
    bool unattended() const { return m_unattended; }

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND m_window = nullptr;
    bool m_unattended;
};

// Fills the extended window-class record and registers it; throws WinException
// "RegisterClassEx".
void registerWindowClass(UINT style, const char* className, HCURSOR cursor, HBRUSH brush, HINSTANCE instance,
                         HICON icon, HICON smallIcon);
