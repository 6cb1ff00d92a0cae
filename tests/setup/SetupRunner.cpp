// Test helper: starts a program, reports and answers its message boxes, reports its setup
// window, leaves every wizard page at the first chance, and prints its exit code.
// Usage: setup_runner SECONDS FOLDER PROGRAM [ARGS...]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

struct Watch {
    DWORD processId;
    std::set<HWND> reported;
};

std::string windowText(HWND window)
{
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string className(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK collectStatic(HWND child, LPARAM data)
{
    if (className(child) == "Static") {
        std::string text = windowText(child);
        if (!text.empty()) {
            auto* out = reinterpret_cast<std::string*>(data);
            if (!out->empty())
                *out += "\\n";
            *out += text;
        }
    }
    return TRUE;
}

BOOL CALLBACK findButton(HWND child, LPARAM data)
{
    if (className(child) == "Button") {
        *reinterpret_cast<HWND*>(data) = child;
        return FALSE;
    }
    return TRUE;
}

// Message boxes and wizard pages are both dialogs (#32770). A message box keeps its text in
// a static under identifier 0xFFFF; every wizard dialog has its text 1009 or, the Process
// page, its status line 1033.
bool isMessageBox(HWND dialog)
{
    HWND text = GetDlgItem(dialog, 0xFFFF);
    return text != nullptr && className(text) == "Static" && GetDlgItem(dialog, 1009) == nullptr &&
           GetDlgItem(dialog, 1033) == nullptr;
}

// The button that leaves the wizard soonest: Exit Setup, then Cancel, then Finish, then the
// Cancel of the Reinstall question.
int leavingButton(HWND page)
{
    for (int id : {1001, IDCANCEL, 1018, 1056}) {
        HWND button = GetDlgItem(page, id);
        if (button != nullptr && IsWindowVisible(button) && IsWindowEnabled(button))
            return id;
    }
    return 0;
}

BOOL CALLBACK visit(HWND window, LPARAM data)
{
    auto* watch = reinterpret_cast<Watch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != watch->processId || watch->reported.count(window) != 0)
        return TRUE;
    std::string name = className(window);
    if (name == "#32770" && !isMessageBox(window)) {
        if (!IsWindowVisible(window))
            return TRUE;
        int button = leavingButton(window);
        if (button == 0)
            return TRUE; // the page has nothing to press yet; look again on the next round
        watch->reported.insert(window);
        std::printf("page|%s\n", windowText(window).c_str());
        std::fflush(stdout);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
    } else if (name == "#32770") {
        std::string texts;
        EnumChildWindows(window, collectStatic, reinterpret_cast<LPARAM>(&texts));
        if (texts.empty())
            return TRUE; // not filled in yet; look again on the next round
        watch->reported.insert(window);
        std::printf("box|%s|%s\n", windowText(window).c_str(), texts.c_str());
        std::fflush(stdout);
        HWND button = nullptr;
        EnumChildWindows(window, findButton, reinterpret_cast<LPARAM>(&button));
        if (button != nullptr)
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
    } else if (name == "OrvikSetup" && IsWindowVisible(window)) {
        watch->reported.insert(window);
        std::printf("window|%s\n", windowText(window).c_str());
        std::fflush(stdout);
    }
    return TRUE;
}

std::string quoted(const char* argument)
{
    std::string text = argument;
    if (text.find(' ') == std::string::npos && !text.empty())
        return text;
    return "\"" + text + "\"";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: setup_runner SECONDS FOLDER PROGRAM [ARGS...]\n");
        return 2;
    }
    DWORD limit = static_cast<DWORD>(std::atoi(argv[1])) * 1000;
    std::string commandLine = quoted(argv[3]);
    for (int i = 4; i < argc; ++i)
        commandLine += " " + quoted(argv[i]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, argv[2], &startup, &process)) {
        std::printf("start-failed|%lu\n", GetLastError());
        return 1;
    }
    Watch watch{process.dwProcessId, {}};
    DWORD start = GetTickCount();
    while (WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT) {
        EnumWindows(visit, reinterpret_cast<LPARAM>(&watch));
        if (GetTickCount() - start > limit) {
            TerminateProcess(process.hProcess, 3);
            std::printf("timeout\n");
            return 1;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("exit|%ld\n", static_cast<long>(static_cast<LONG>(code)));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
