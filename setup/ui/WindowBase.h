// WindowBase: the small window framework of the setup and splash windows.
#pragma once

#include <windows.h>

class WindowBase {
public:
    WindowBase() = default;
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    virtual bool onCreate() { return true; }
    virtual void onDestroy() { m_window = nullptr; }
    virtual void onSize(int, int) {}
    virtual void onEraseBackground() {}
    virtual void onPaint() {}
    virtual void onCommand(int, int, int) {}
    virtual void onNotify(WPARAM, LPARAM) {}
    virtual void onTimer() {}

    void setTimer(UINT milliseconds);
    void killTimer();
    bool post(UINT code);
    LRESULT send(UINT code);

    HWND handle() const { return m_window; }

    // The one window procedure of both window classes.
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    HWND m_window = nullptr;
    UINT_PTR m_timer = 0;

private:
    static LRESULT dispatch(WindowBase* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// The main window: its end ends the message loop.
class AppWindow : public WindowBase {
public:
    void onDestroy() override;
};

// Fills the extended window-class record for the common window procedure and registers it;
// throws WinException "RegisterClassEx".
void registerWindowClass(UINT style, const char* className, HCURSOR cursor, HBRUSH brush, HINSTANCE instance,
                         HICON icon, HICON smallIcon);
