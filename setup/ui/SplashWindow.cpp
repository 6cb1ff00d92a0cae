// SplashWindow: a popup sized to its picture and centred on the screen.
#include "SplashWindow.h"

#include "SetupApp.h"

bool SplashWindow::create(HWND owner, const char* path)
{
    m_loaded = m_picture.load(path) == S_OK;
    if (!m_loaded)
        return false;
    SIZE size = m_picture.pixelSize();
    RECT outer = {0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&outer, WS_POPUP, FALSE, WS_EX_DLGMODALFRAME);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME, splashWindowClassName(), nullptr, WS_POPUP, 0, 0, width, height,
                                  owner, nullptr, instanceHandle(), this);
    if (window == nullptr)
        return false;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) >> 1;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) >> 1;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void SplashWindow::onPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_window, &paint);
    m_picture.render(dc, 0, 0);
    EndPaint(m_window, &paint);
}
