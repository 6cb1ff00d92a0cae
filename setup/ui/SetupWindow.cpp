// SetupWindow: class registration, the window procedure and the end of the run.
#include "SetupWindow.h"

#include "SetupExceptions.h"

SetupWindow::SetupWindow(bool unattended) : m_unattended(unattended)
{
}

SetupWindow::~SetupWindow()
{
    if (m_window != nullptr) {
        HWND window = m_window;
        m_window = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
}

bool SetupWindow::checkEarlierInstallation()
{
    return true;
}

void SetupWindow::onCreate(HWND window)
{
    m_window = window;
    ShowWindow(window, SW_SHOWNORMAL);
}

LRESULT CALLBACK SetupWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SetupWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_CREATE:
        if (self != nullptr)
            self->onCreate(window);
        return 0;
    case WM_DESTROY:
        if (self != nullptr) {
            self->m_window = nullptr;
            // Only the window of the run ends it, not one destroyed by the teardown.
            PostQuitMessage(0);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void registerWindowClass(UINT style, const char* className, HCURSOR cursor, HBRUSH brush, HINSTANCE instance,
                         HICON icon, HICON smallIcon)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = SetupWindow::windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = brush;
    windowClass.lpszClassName = className;
    windowClass.hIconSm = smallIcon;
    if (RegisterClassExA(&windowClass) == 0)
        throw WinException("RegisterClassEx");
}
