// ReadmeWaitThread: waits for the readme viewer at the end of the wizard, then tells the window.
#pragma once

#include <windows.h>

#include "Thread.h"

class ReadmeWaitThread : public thread::Thread {
public:
    // Takes over the process handle; posts WM_COMMAND CmdReadmeClosed to window when it ends.
    ReadmeWaitThread(HWND window, HANDLE process) : m_window(window), m_process(process) {}

protected:
    void run() override;

private:
    HWND m_window;
    HANDLE m_process;
};
