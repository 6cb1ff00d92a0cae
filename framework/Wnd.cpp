// CWnd and CFrameWnd: window creation and the routing of messages into message maps.
#include "Wnd.h"

#include "App.h"

namespace {

const char kWindowClass[] = "TelvaneWnd";

bool RegisterOurClass(const char* name, HICON icon)
{
    HINSTANCE instance = AfxGetInstanceHandle();
    WNDCLASSA existing;
    if (GetClassInfoA(instance, name, &existing))
        return true;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CWnd::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hIcon = icon;
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

} // namespace

CWnd::~CWnd()
{
    if (m_hWnd != nullptr) {
        // The object goes first: detach it, so no message of the destruction reaches it.
        HWND hwnd = m_hWnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    return reinterpret_cast<CWnd*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId)
{
    if (className == nullptr) {
        if (!RegisterOurClass(kWindowClass, nullptr))
            return FALSE;
        className = kWindowClass;
    }
    HWND hwnd = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                                AfxGetInstanceHandle(), this);
    return hwnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

bool CWnd::ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        // The object arrives with the creation parameters; from here on it gets every message.
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* created = static_cast<CWnd*>(create->lpCreateParams);
        if (created != nullptr) {
            created->m_hWnd = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        }
    }

    CWnd* wnd = FromHandle(hwnd);
    if (wnd == nullptr)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    if (!wnd->ProcessWindowMessage(message, wParam, lParam, result))
        result = wnd->DefWindowProc(message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        wnd->m_hWnd = nullptr;
        wnd->PostNcDestroy();
    }
    return result;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, const char* title)
{
    HICON icon = LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId));
    // Each program's frame has a class of its own ("TelvaneHostFrame"), so the host's and the
    // client's hidden windows can be told apart on one desktop.
    CString className(title);
    className += "Frame";
    if (!RegisterOurClass(className, icon))
        return FALSE;
    return CreateEx(0, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                    nullptr);
}

void CFrameWnd::PostNcDestroy()
{
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this)
        PostQuitMessage(0);
}
