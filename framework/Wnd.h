// CWnd, CFrameWnd and the message map: a window object whose messages are routed to
// member handlers through a table written in the class.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include "Str.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // Creates the window with our window class (or the class given) and attaches it to this object.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menuOrId);
    BOOL DestroyWindow();

    // Delivered at once, on this thread: returns when the handler has finished.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) { return ::SetTimer(m_hWnd, id, milliseconds, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }

    // The window object that owns hwnd, if it is one of ours.
    static CWnd* FromHandle(HWND hwnd);

    HWND m_hWnd = nullptr;

protected:
    // The message map. Returns true when the message was handled; the result goes in result.
    virtual bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone (WM_NCDESTROY); m_hWnd is already null.
    virtual void PostNcDestroy() {}

public:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    friend class CDialog;
};

// The hidden main window of a program: a top-level window created from a resource number
// whose icon it uses.
class CFrameWnd : public CWnd {
public:
    BOOL LoadFrame(UINT resourceId, DWORD style, const char* title);

protected:
    // The program's main window gone (closed from outside, say at log-off): its loop ends.
    void PostNcDestroy() override;
};

// Message map macros. A class writes
//   BEGIN_MSG_MAP(CMainFrame, CFrameWnd)
//     ON_MESSAGE(1129, OnPing)            LRESULT OnPing(WPARAM, LPARAM)
//     ON_COMMAND(ID_APP_EXIT, OnExit)     void OnExit()
//   END_MSG_MAP()
// Messages not in the map go to the base class's map and finally to the default handling.
#define BEGIN_MSG_MAP(theClass, baseClass)                                                                             \
public:                                                                                                                \
    bool ProcessWindowMessage(UINT message_, WPARAM wParam_, LPARAM lParam_, LRESULT& result_) override                \
    {                                                                                                                  \
        typedef baseClass MapBase;                                                                                     \
        (void)wParam_;                                                                                                 \
        (void)lParam_;

#define ON_MESSAGE(number, handler)                                                                                    \
    if (message_ == static_cast<UINT>(number)) {                                                                       \
        result_ = handler(wParam_, lParam_);                                                                           \
        return true;                                                                                                   \
    }

#define ON_COMMAND(id, handler)                                                                                        \
    if (message_ == WM_COMMAND && LOWORD(wParam_) == static_cast<WORD>(id)) {                                          \
        handler();                                                                                                     \
        result_ = 0;                                                                                                   \
        return true;                                                                                                   \
    }

#define END_MSG_MAP()                                                                                                  \
    return MapBase::ProcessWindowMessage(message_, wParam_, lParam_, result_);                                         \
    }
