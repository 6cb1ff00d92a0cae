// winctl: drives the windows of other programs from a test, the way a user would:
// menu commands, dialogs, typing, buttons, message boxes. Prints what it reads on stdout.
//   winctl command <window class> <command id>       post a menu command to a top-level window
//   winctl message <window class> <msg> <wparam> <lparam>   post any message
//   winctl wait <caption> <timeout ms>               wait for a dialog or box with that caption
//   winctl texts <caption>                           print "id<TAB>class<TAB>text" of its controls
//   winctl type <caption> <control id> <text>        select all, then type text into a control
//   winctl press <caption> <button id>               click a button of the dialog
//   winctl combo <caption> <control id>              print the items of a combo box
//   winctl gone <caption> <timeout ms>               wait until no window has that caption
//   winctl tray <window class> exists|delete         ask after or take away the window's tray icon
//   winctl taskbar-created <window class>            tell the window the taskbar was re-created
// Exit code 0 on success, 1 when the window is not there (in time), 2 on a usage error.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindByCaption(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof(text));
    if (std::strcmp(text, search->caption) == 0 && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindCaption(const char* caption)
{
    Search search = {caption, nullptr};
    EnumWindows(FindByCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitCaption(const char* caption, DWORD timeout)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND hwnd = FindCaption(caption))
            return hwnd;
        if (GetTickCount() - start >= timeout)
            return nullptr;
        Sleep(50);
    }
}

BOOL CALLBACK PrintChild(HWND hwnd, LPARAM)
{
    char cls[64] = "";
    char text[1024] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    // GetWindowText of another program's control returns its caption as created; an edit
    // keeps what it holds itself, so the control is asked (in UTF-16, which Wine passes
    // between processes).
    wchar_t wide[1024] = L"";
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 5000, &copied))
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    else
        GetWindowTextA(hwnd, text, sizeof(text));
    std::printf("%d\t%s\t%s\n", GetDlgCtrlID(hwnd), cls, text);
    return TRUE;
}

int Usage()
{
    std::fprintf(stderr, "usage: see the header of winctl.cpp\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    std::string verb = argv[1];

    if (verb == "command" || verb == "message") {
        HWND target = FindWindowA(argv[2], nullptr);
        if (target == nullptr)
            return 1;
        if (verb == "command" && argc == 4)
            return PostMessageA(target, WM_COMMAND, std::strtoul(argv[3], nullptr, 0), 0) ? 0 : 1;
        if (verb == "message" && argc == 6)
            return PostMessageA(target, std::strtoul(argv[3], nullptr, 0), std::strtoul(argv[4], nullptr, 0),
                                std::strtol(argv[5], nullptr, 0))
                       ? 0
                       : 1;
        return Usage();
    }
    if (verb == "tray" && argc == 4) {
        HWND owner = FindWindowA(argv[2], nullptr);
        if (owner == nullptr)
            return 1;
        // The programs show one icon with identifier 0; a modify that changes nothing
        // succeeds only while the icon is there.
        NOTIFYICONDATAA record = {};
        record.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record.hWnd = owner;
        record.uID = 0;
        if (std::strcmp(argv[3], "delete") == 0)
            return Shell_NotifyIconA(NIM_DELETE, &record) ? 0 : 1;
        return Shell_NotifyIconA(NIM_MODIFY, &record) ? 0 : 1;
    }
    if (verb == "taskbar-created" && argc == 3) {
        HWND target = FindWindowA(argv[2], nullptr);
        if (target == nullptr)
            return 1;
        return PostMessageA(target, RegisterWindowMessageA("TaskbarCreated"), 0, 0) ? 0 : 1;
    }
    if (verb == "wait" && argc == 4)
        return WaitCaption(argv[2], std::strtoul(argv[3], nullptr, 0)) ? 0 : 1;
    if (verb == "gone" && argc == 4) {
        DWORD start = GetTickCount();
        while (FindCaption(argv[2]) != nullptr) {
            if (GetTickCount() - start >= std::strtoul(argv[3], nullptr, 0))
                return 1;
            Sleep(50);
        }
        return 0;
    }

    HWND dialog = WaitCaption(argv[2], 5000);
    if (dialog == nullptr)
        return 1;
    if (verb == "texts" && argc == 3) {
        EnumChildWindows(dialog, PrintChild, 0);
        return 0;
    }
    if (verb == "type" && argc == 5) {
        HWND control = GetDlgItem(dialog, std::atoi(argv[3]));
        if (control == nullptr)
            return 1;
        SendMessageA(control, EM_SETSEL, 0, -1);
        for (const char* p = argv[4]; *p; ++p)
            SendMessageA(control, WM_CHAR, static_cast<unsigned char>(*p), 1);
        return 0;
    }
    if (verb == "press" && argc == 4) {
        int id = std::atoi(argv[3]);
        HWND button = GetDlgItem(dialog, id);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return 0;
    }
    if (verb == "combo" && argc == 4) {
        HWND combo = GetDlgItem(dialog, std::atoi(argv[3]));
        if (combo == nullptr)
            return 1;
        int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        // Asked in UTF-16: Wine passes the item text between processes in that form only.
        for (int i = 0; i < count; ++i) {
            wchar_t wide[512] = L"";
            char text[1024] = "";
            if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 512)
                SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
            std::printf("%s\n", text);
        }
        return 0;
    }
    return Usage();
}
