// CTrayIcon: add, modify and delete through the shell.
#include "TrayIcon.h"

#include <shellapi.h>

#include <cstring>

CTrayIcon::CTrayIcon()
{
    std::memset(&m_record, 0, sizeof(m_record));
    m_record.cbSize = sizeof(m_record);
}

void CTrayIcon::SetNotificationWnd(HWND owner, UINT callbackMessage)
{
    m_record.hWnd = owner;
    m_record.uCallbackMessage = callbackMessage;
}

BOOL CTrayIcon::Shell(DWORD operation)
{
    return Shell_NotifyIconA(operation, reinterpret_cast<NOTIFYICONDATAA*>(&m_record));
}

BOOL CTrayIcon::SetIcon(HICON icon, const char* tooltip)
{
    m_record.uFlags = 0;
    DWORD operation;
    if (icon != nullptr) {
        operation = m_record.hIcon != nullptr ? NIM_MODIFY : NIM_ADD;
        m_record.hIcon = icon;
        m_record.uFlags |= NIF_ICON;
    } else {
        if (m_record.hIcon == nullptr)
            return TRUE;
        operation = NIM_DELETE;
    }
    if (tooltip != nullptr) {
        std::memset(m_record.szTip, 0, sizeof(m_record.szTip));
        std::strncpy(m_record.szTip, tooltip, sizeof(m_record.szTip) - 1);
        m_record.uFlags |= NIF_TIP;
    }
    if (m_record.uCallbackMessage != 0 && m_record.hWnd != nullptr)
        m_record.uFlags |= NIF_MESSAGE;

    BOOL result = Shell(operation);
    m_currentIcon = icon;
    if (operation == NIM_DELETE || !result) {
        m_record.hIcon = nullptr;
        m_currentIcon = nullptr;
    }
    return result;
}

BOOL CTrayIcon::RemoveIcon()
{
    m_record.uFlags = NIF_ICON;
    if (m_record.hIcon == nullptr)
        return TRUE;
    BOOL result = Shell(NIM_DELETE);
    m_record.hIcon = nullptr;
    return result;
}

BOOL CTrayIcon::Restore()
{
    // The new taskbar knows no icon of ours: add it with everything the record holds.
    if (m_record.hIcon == nullptr)
        return TRUE;
    m_record.uFlags = NIF_ICON | NIF_TIP;
    if (m_record.uCallbackMessage != 0 && m_record.hWnd != nullptr)
        m_record.uFlags |= NIF_MESSAGE;
    BOOL result = Shell(NIM_ADD);
    if (!result) {
        m_record.hIcon = nullptr;
        m_currentIcon = nullptr;
    }
    return result;
}

void CTrayIcon::TrackMenu(HMENU popup)
{
    if (popup == nullptr)
        return;
    POINT cursor;
    GetCursorPos(&cursor);
    // The window must be in the foreground, or the menu does not go away when the user
    // clicks elsewhere; the message after it lets the menu close at once.
    ::SetForegroundWindow(m_record.hWnd);
    TrackPopupMenu(popup, TPM_CENTERALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_record.hWnd, nullptr);
    PostMessageA(m_record.hWnd, WM_NULL, 0, 0);
}

UINT CTrayIcon::TaskbarCreatedMessage()
{
    static UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}
