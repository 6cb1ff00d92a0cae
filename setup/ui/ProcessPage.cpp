// ProcessPage: starts the install thread once and moves on when it reports that it is done.
#include "ProcessPage.h"

#include "InstallThread.h"
#include "SetupContext.h"

ProcessPage::ProcessPage(SetupContext& context, HWND dialog) : WizardPage(context, dialog)
{
}

ProcessPage::~ProcessPage()
{
    // The page only closes once the thread has said it is done; this covers the dialog
    // being destroyed by a failure elsewhere, so no record is left half-written.
    if (!m_thread || !m_started)
        return;
    m_thread->stop();
    // The thread sends its status texts to the page's controls: serve those sends while
    // waiting, or both threads would wait for each other.
    HANDLE handle = m_thread->handle();
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
}

bool ProcessPage::onInitDialog(HWND dialog)
{
    setCaption("ProcessTitle");
    setText(IDCANCEL, "ProcessCancel");
    m_thread = std::make_unique<InstallThread>(dialog, m_context, item(IDC_PROGRESS), item(IDC_STATUS));
    m_thread->start();
    m_started = true;
    centre();
    return true;
}

bool ProcessPage::onCommand(HWND, int id, int)
{
    switch (id) {
    case CmdInstallDone:
        m_done = true;
        // While the Exit Setup question is open its answer decides where the page goes.
        if (!m_asking)
            end(m_leaving ? CmdClose : CmdNext);
        return true;
    case IDCANCEL: {
        if (m_leaving || m_asking)
            return true;
        m_asking = true;
        bool leave = showExitConfirmation();
        m_asking = false;
        if (leave) {
            // Leaving does not cut the installation off in the middle of a file or of the
            // log: the thread stops after its record, and the page waits for its "done".
            m_leaving = true;
            EnableWindow(item(IDCANCEL), FALSE);
            if (m_done)
                end(CmdClose);
            else
                m_thread->stop();
        } else if (m_done) {
            end(CmdNext);
        }
        return true;
    }
    default:
        return false;
    }
}
