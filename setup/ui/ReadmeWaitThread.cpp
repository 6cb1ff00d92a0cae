// ReadmeWaitThread: no time limit, one posted message.
#include "ReadmeWaitThread.h"

#include "SetupCommand.h"

void ReadmeWaitThread::run()
{
    // The setup window may delete this object while the viewer is still open.
    HWND window = m_window;
    HANDLE process = m_process;
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
    PostMessageA(window, WM_COMMAND, CmdReadmeClosed, 0);
}
