// CTrayIcon: the program's icon with tooltip in the notification area of the taskbar.
#pragma once

#include <winsock2.h>
#include <windows.h>

class CTrayIcon {
public:
    CTrayIcon();
    virtual ~CTrayIcon() = default;

    void SetNotificationWnd(HWND owner, UINT callbackMessage);
    // Shows icon with tooltip (adds or modifies); no icon deletes it. Tooltips hold 63 characters.
    BOOL SetIcon(HICON icon, const char* tooltip);
    BOOL RemoveIcon();
    HICON GetIcon() const { return m_currentIcon; }

    // Shows popup at the cursor; its command goes to the notification window.
    void TrackMenu(HMENU popup);

    // The shell's taskbar was created again (Explorer restarted): show the icon once more,
    // with the picture and tooltip it had.
    BOOL Restore();

    // The message the shell broadcasts when its taskbar is (re)created.
    static UINT TaskbarCreatedMessage();

private:
    // The notification-icon record in its first, 88-byte form, which every shell accepts.
    struct Record88 {
        DWORD cbSize;
        HWND hWnd;
        UINT uID;
        UINT uFlags;
        UINT uCallbackMessage;
        HICON hIcon;
        char szTip[64];
    };
    static_assert(sizeof(void*) != 4 || sizeof(Record88) == 88, "first form of NOTIFYICONDATA");

    BOOL Shell(DWORD operation);

    Record88 m_record;
    HICON m_currentIcon = nullptr;
};
