// wizardctl: drives one program's wizard dialogs for a test. It reads commands from stdin, one
// a line with tab-separated fields, acts like a user on the windows of the program it started,
// and answers each command with result lines ending in "ok ..." or "fail ...".
//   start <folder> <command line>        start the program in folder (ending the previous one)
//   kill                                 end the program if it still runs
//   wait <caption> <ms>                  wait for a visible top-level window with that caption
//   waitclass <class> <ms>               wait for a visible top-level window of that class
//   gone <caption> <ms>                  wait until no visible window has that caption
//   windows                              "window <class> <caption>" per visible top-level window
//   texts <caption>                      "control <id> <class> <visible> <enabled> <checked> <text>"
//   items <caption> <id>                 "item <text>" per list entry, then "selected <index>"
//   type <caption> <id> <text>           replace the control's text
//   select <caption> <id> <text>         select the list entry beginning with text, as a click does
//   press <caption> <id>                 click a button (refused when hidden or disabled)
//   check <caption> <id> 0|1             untick or tick a check box
//   escape <caption>                     press Esc in the dialog
//   close <caption>                      the close box of the window
//   rect <caption>                       "rect <left> <top> <right> <bottom>" of the window
//   closeclass <class> <ms>              wait for a window of that class of any program, close it
//   lock <path>                          open the file without sharing and keep it open
//   exit <ms>                            wait for the program to end: "ok <exit code>"
//   quit                                 end wizardctl (the program is terminated if still running)
// Text fields use \n for a line break, \r for CR and \t for a tab.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

PROCESS_INFORMATION program = {};

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::string unescaped(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            char next = text[++i];
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string className(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// WM_GETTEXT crosses the process boundary; GetWindowText of a foreign edit would not ask it.
std::string textOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    std::vector<char> buffer(length + 2, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                        5000, &copied);
    return std::string(buffer.data());
}

// Wine hands list texts across processes in their wide form only, whatever the caller's form.
std::string listItem(HWND list, LRESULT index)
{
    std::vector<wchar_t> text(SendMessageW(list, LB_GETTEXTLEN, index, 0) + 2, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    char narrow[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, text.data(), -1, narrow, sizeof narrow - 1, nullptr, nullptr);
    return narrow;
}

std::wstring wide(const std::string& text)
{
    wchar_t buffer[1024] = {};
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer, 1023);
    return buffer;
}

bool ours(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == program.dwProcessId;
}

struct Search {
    std::string caption;
    bool byClass;
    HWND found;
};

BOOL CALLBACK findWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    if (!ours(window) || !IsWindowVisible(window))
        return TRUE;
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    if ((search->byClass ? className(window) : std::string(text)) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND find(const std::string& caption, bool byClass = false)
{
    Search search{caption, byClass, nullptr};
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Bounded by the caller's time limit; 50 ms between looks.
HWND waitFor(const std::string& caption, DWORD limit, bool byClass)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = find(caption, byClass))
            return window;
        if (GetTickCount() - start >= limit)
            return nullptr;
        Sleep(50);
    }
}

BOOL CALLBACK listWindow(HWND window, LPARAM)
{
    if (ours(window) && IsWindowVisible(window)) {
        char text[512] = {};
        GetWindowTextA(window, text, sizeof text);
        std::printf("window\t%s\t%s\n", className(window).c_str(), escaped(text).c_str());
    }
    return TRUE;
}

BOOL CALLBACK listControl(HWND child, LPARAM)
{
    bool button = className(child) == "Button";
    LRESULT checked = button ? SendMessageA(child, BM_GETCHECK, 0, 0) : 0;
    std::printf("control\t%d\t%s\t%d\t%d\t%d\t%s\n", GetDlgCtrlID(child), className(child).c_str(),
                IsWindowVisible(child) ? 1 : 0, IsWindowEnabled(child) ? 1 : 0, static_cast<int>(checked),
                escaped(textOf(child)).c_str());
    return TRUE;
}

std::vector<std::string> split(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

void reply(const char* text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

void endProgram()
{
    if (program.hProcess == nullptr)
        return;
    if (WaitForSingleObject(program.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(program.hProcess, 3);
        WaitForSingleObject(program.hProcess, 10000);
    }
    CloseHandle(program.hProcess);
    CloseHandle(program.hThread);
    program = PROCESS_INFORMATION();
}

void startProgram(const std::string& folder, const std::string& commandLine)
{
    endProgram();
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &program)) {
        std::printf("fail start %lu\n", GetLastError());
        std::fflush(stdout);
        return;
    }
    std::printf("ok %lu\n", program.dwProcessId);
    std::fflush(stdout);
}

void handle(const std::vector<std::string>& f)
{
    const std::string& command = f[0];
    auto number = [&](std::size_t i) { return i < f.size() ? std::strtoul(f[i].c_str(), nullptr, 10) : 0UL; };
    if (command == "start" && f.size() >= 3) {
        startProgram(f[1], f[2]);
    } else if (command == "kill") {
        endProgram();
        reply("ok");
    } else if ((command == "wait" || command == "waitclass") && f.size() >= 3) {
        reply(waitFor(f[1], number(2), command == "waitclass") ? "ok" : "fail timeout");
    } else if (command == "gone" && f.size() >= 3) {
        DWORD start = GetTickCount();
        while (find(f[1]) != nullptr && GetTickCount() - start < number(2))
            Sleep(50);
        reply(find(f[1]) == nullptr ? "ok" : "fail still there");
    } else if (command == "windows") {
        EnumWindows(listWindow, 0);
        reply("ok");
    } else if (command == "closeclass" && f.size() >= 3) {
        DWORD start = GetTickCount();
        HWND window = nullptr;
        while ((window = FindWindowA(f[1].c_str(), nullptr)) == nullptr && GetTickCount() - start < number(2))
            Sleep(50);
        if (window != nullptr)
            PostMessageA(window, WM_CLOSE, 0, 0);
        reply(window != nullptr ? "ok" : "fail timeout");
    } else if (command == "lock" && f.size() >= 2) {
        // Kept open until wizardctl ends.
        // Others may read it, as a running program lets them, but not write it.
        HANDLE file = CreateFileA(f[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        reply(file != INVALID_HANDLE_VALUE ? "ok" : "fail open");
    } else if (command == "exit") {
        DWORD code = 0;
        if (program.hProcess == nullptr || WaitForSingleObject(program.hProcess, number(1)) != WAIT_OBJECT_0) {
            reply("fail running");
            return;
        }
        GetExitCodeProcess(program.hProcess, &code);
        std::printf("ok %ld\n", static_cast<long>(static_cast<LONG>(code)));
        std::fflush(stdout);
    } else if (f.size() >= 2) {
        HWND window = find(f[1]);
        if (window == nullptr) {
            reply("fail no window");
            return;
        }
        HWND control = f.size() >= 3 ? GetDlgItem(window, static_cast<int>(number(2))) : nullptr;
        if (command == "texts") {
            EnumChildWindows(window, listControl, 0);
            reply("ok");
        } else if (command == "escape") {
            PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            PostMessageA(window, WM_KEYUP, VK_ESCAPE, 0xC0010001);
            reply("ok");
        } else if (command == "close") {
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            reply("ok");
        } else if (command == "rect") {
            RECT r;
            GetWindowRect(window, &r);
            std::printf("ok %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
            std::fflush(stdout);
        } else if (control == nullptr) {
            reply("fail no control");
        } else if (command == "items") {
            LRESULT count = SendMessageA(control, LB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i)
                std::printf("item\t%s\n", escaped(listItem(control, i)).c_str());
            std::printf("selected\t%ld\n", static_cast<long>(SendMessageA(control, LB_GETCURSEL, 0, 0)));
            reply("ok");
        } else if (command == "type" && f.size() >= 4) {
            std::string text = unescaped(f[3]);
            SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            reply("ok");
        } else if (command == "select" && f.size() >= 4) {
            std::wstring text = wide(unescaped(f[3]));
            LRESULT index =
                SendMessageW(control, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
            if (index == LB_ERR) {
                reply("fail no entry");
                return;
            }
            // A click notifies the dialog; a selection set by message does not.
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(control));
            reply("ok");
        } else if (command == "press") {
            if (!IsWindowVisible(control) || !IsWindowEnabled(control)) {
                reply("fail disabled");
                return;
            }
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                         reinterpret_cast<LPARAM>(control));
            reply("ok");
        } else if (command == "check" && f.size() >= 4) {
            SendMessageA(control, BM_SETCHECK, number(3) ? BST_CHECKED : BST_UNCHECKED, 0);
            reply("ok");
        } else {
            reply("fail usage");
        }
    } else {
        reply("fail usage");
    }
}

} // namespace

int main()
{
    char buffer[8192];
    while (std::fgets(buffer, sizeof buffer, stdin) != nullptr) {
        std::string line = buffer;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (line == "quit")
            break;
        if (!line.empty())
            handle(split(line));
    }
    endProgram();
    return 0;
}
