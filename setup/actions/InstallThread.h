// InstallThread: the installation itself, every list of the script in order, on its own thread.
#pragma once

#include <windows.h>

#include "Thread.h"

class InstallLog;
class SetupContext;

// Set by the installation when a file could only be replaced at the next restart; the end of
// the wizard reads it to offer the restart.
extern bool rebootRequired;

class InstallThread : public thread::Thread {
public:
    // The page receives WM_COMMAND CmdInstallDone when the installation ends, however it ends;
    // the bar and the status line are the page's controls. Nothing is owned. The thread is
    // created suspended: start() runs it, once.
    InstallThread(HWND page, SetupContext& context, HWND progressBar, HWND statusLine);
    // Does not wait: call stop() and waitForEnd() first when the program is ending.
    ~InstallThread() override;

    // Asks the installation to end after the record in hand, as if the record had failed
    // fatally: what is installed so far stays logged, nothing is left half-written, and the
    // page still receives CmdInstallDone. The after-install program is then not started.
    void stop();
    // True once the thread has ended; only for a thread that was started.
    bool waitForEnd(DWORD milliseconds);

protected:
    void run() override;

private:
    void sequence();
    template <typename Handler>
    void processList(const char* section, Handler& handler);
    void checkStop();
    void setStatus(const char* text);

    HWND m_page;
    SetupContext& m_context;
    HWND m_progressBar;
    HWND m_statusLine;
    bool m_imitation = false;
    InstallLog* m_log = nullptr;
    HANDLE m_stopEvent;
};
