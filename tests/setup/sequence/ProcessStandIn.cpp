// Test stand-in for the wizard's Process page: a window with a progress bar and a status line
// that runs InstallThread on the SetupContext of its folder and reports what the controls saw.
//   process_stand_in [-i] [--stop-after MS]
// Prints "status|text" for every status text, "range|low|high", "position|n", "steps|n",
// "done|n" (CmdInstallDone commands received), "reboot|0 or 1", then writes setup.log.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "InstallThread.h"
#include "SetupContext.h"
#include "SetupExceptions.h"
#include "../../../setup/ui/SetupCommand.h"

namespace {

const int progressId = 1032;
const int statusId = 1033;

std::vector<std::string> statusTexts;
int steps = 0;
int doneCount = 0;
WNDPROC statusProcedure = nullptr;
WNDPROC progressProcedure = nullptr;

// The install thread sends; these run on this thread, inside its message loop.
LRESULT CALLBACK statusHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        statusTexts.push_back(reinterpret_cast<const char*>(lParam));
    return CallWindowProcA(statusProcedure, window, message, wParam, lParam);
}

LRESULT CALLBACK progressHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PBM_STEPIT)
        ++steps;
    return CallWindowProcA(progressProcedure, window, message, wParam, lParam);
}

LRESULT CALLBACK pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == CmdInstallDone && lParam == 0) {
        ++doneCount;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    bool imitation = false;
    DWORD stopAfter = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-i") == 0)
            imitation = true;
        else if (std::strcmp(argv[i], "--stop-after") == 0 && i + 1 < argc)
            stopAfter = std::strtoul(argv[++i], nullptr, 10);
    }
    InitCommonControls();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = pageProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TelvaneProcessStandIn";
    RegisterClassA(&windowClass);
    HWND page = CreateWindowA("TelvaneProcessStandIn", "Process", WS_OVERLAPPEDWINDOW, 0, 0, 400, 120, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    HWND progress = CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 360, 20, page,
                                  reinterpret_cast<HMENU>(progressId), windowClass.hInstance, nullptr);
    HWND status = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 10, 40, 360, 20, page,
                                reinterpret_cast<HMENU>(statusId), windowClass.hInstance, nullptr);
    statusProcedure =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(statusHook)));
    progressProcedure =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(progress, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(progressHook)));

    std::unique_ptr<SetupContext> context;
    try {
        context = std::make_unique<SetupContext>();
    } catch (const FileException& failure) {
        std::printf("context-failed|%s|%d\n", failure.fileName.c_str(), static_cast<int>(failure.kind));
        return 2;
    } catch (...) {
        std::printf("context-failed\n");
        return 2;
    }
    if (imitation)
        context->setVariable("Imitation", "Y");

    // A timer in the loop bounds the run, whatever happens to the thread.
    const UINT_PTR stopTimer = 1, limitTimer = 2;
    InstallThread installation(page, *context, progress, status);
    installation.start();
    if (stopAfter != 0)
        SetTimer(page, stopTimer, stopAfter, nullptr);
    SetTimer(page, limitTimer, 120000, nullptr);
    MSG message;
    bool limited = false;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.wParam == stopTimer) {
            KillTimer(page, stopTimer);
            installation.stop();
        } else if (message.message == WM_TIMER && message.wParam == limitTimer) {
            limited = true;
            break;
        }
        DispatchMessageA(&message);
    }
    if (limited) {
        std::printf("timeout\n");
        return 3;
    }
    bool ended = installation.waitForEnd(10000);

    for (const std::string& text : statusTexts)
        std::printf("status|%s\n", text.c_str());
    PBRANGE range = {};
    SendMessageA(progress, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    std::printf("range|%d|%d\n", range.iLow, range.iHigh);
    std::printf("position|%d\n", static_cast<int>(SendMessageA(progress, PBM_GETPOS, 0, 0)));
    std::printf("steps|%d\n", steps);
    std::printf("done|%d\n", doneCount);
    std::printf("ended|%d\n", ended ? 1 : 0);
    std::printf("reboot|%d\n", rebootRequired ? 1 : 0);
    std::fflush(stdout);
    try {
        context->writeInstallLog();
    } catch (const FileException& failure) {
        std::printf("log-failed|%s\n", failure.fileName.c_str());
        return 4;
    }
    context.reset();
    DestroyWindow(page);
    return 0;
}
