// WindowBase: creation, the common window procedure, timers and class registration.
#include "WindowBase.h"

#include "CallbackFailure.h"
#include "SetupExceptions.h"

WindowBase::~WindowBase()
{
    if (m_window != nullptr) {
        killTimer();
        DestroyWindow(m_window);
        m_window = nullptr;
    }
}

void WindowBase::setTimer(UINT milliseconds)
{
    m_timer = SetTimer(m_window, 1, milliseconds, nullptr);
}

void WindowBase::killTimer()
{
    if (m_timer != 0) {
        KillTimer(m_window, m_timer);
        m_timer = 0;
    }
}

bool WindowBase::post(UINT code)
{
    return PostMessageA(m_window, code, 0, 0) != 0;
}

LRESULT WindowBase::send(UINT code)
{
    return SendMessageA(m_window, code, 0, 0);
}

void AppWindow::onDestroy()
{
    m_window = nullptr;
    PostQuitMessage(0);
}

LRESULT WindowBase::dispatch(WindowBase* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        self->m_window = window;
        if (!self->onCreate()) {
            self->m_window = nullptr;
            return -1;
        }
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return 0;
    case WM_DESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->onDestroy();
        return 0;
    case WM_SIZE:
        self->onSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_PAINT:
        self->onPaint();
        return 0;
    case WM_ERASEBKGND:
        self->onEraseBackground();
        return 1;
    case WM_NOTIFY:
        self->onNotify(wParam, lParam);
        return 0;
    case WM_COMMAND:
        self->onCommand(LOWORD(wParam), 0, 0);
        return 0;
    case WM_TIMER:
        self->onTimer();
        return 0;
    default:
        if (message >= WM_USER) {
            self->onCommand(static_cast<int>(message), 0, 0);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK WindowBase::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowBase* self = nullptr;
    if (message == WM_CREATE)
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    else
        self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    try {
        return dispatch(self, window, message, wParam, lParam);
    } catch (...) {
        callback::keepFailure();
        if (message == WM_CREATE) {
            self->m_window = nullptr;
            return -1;
        }
        return 0;
    }
}

void registerWindowClass(UINT style, const char* className, HCURSOR cursor, HBRUSH brush, HINSTANCE instance,
                         HICON icon, HICON smallIcon)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = WindowBase::windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = brush;
    windowClass.lpszClassName = className;
    windowClass.hIconSm = smallIcon;
    if (RegisterClassExA(&windowClass) == 0)
        throw WinException("RegisterClassEx");
}
