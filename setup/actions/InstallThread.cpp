// InstallThread: the install sequence, its progress display and the uninstaller's registration.
#include "InstallThread.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "ErrorLog.h"
#include "FileHandler.h"
#include "FileTypeHandler.h"
#include "FolderHandler.h"
#include "IniHandler.h"
#include "InstallLog.h"
#include "ProgramRunner.h"
#include "RecordFields.h"
#include "RegistryHandler.h"
#include "SetupContext.h"
#include "SetupScript.h"
#include "ShortcutHandler.h"
#include "../ui/SetupCommand.h"

bool rebootRequired = false;

namespace {

const DWORD recordPause = 50;

const char* const lists[] = {
    "APPLICATION_FOLDERS", "APPLICATION_FILES", "SHARED_FOLDERS", "SHARED_FILES", "SYSTEM_FOLDERS",
    "SYSTEM_FILES",        "REGISTRY_ENTRIES",  "FILE_TYPES",     "SHORTCUTS",    "INI_FILES",
};

const char* const uninstallRecords[] = {
    "key,HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%ProductName%",
    "value,HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%ProductName%,DisplayName,S,"
    "%AddRemoveProgramsDescription%",
    "value,HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%ProductName%,UninstallString,S,"
    "\"%AppDir%\\uninstall.exe\"",
};

// Thrown between records when the program is ending; it leaves the sequence like any failure.
struct Stopped {};

} // namespace

InstallThread::InstallThread(HWND page, SetupContext& context, HWND progressBar, HWND statusLine)
    : m_page(page), m_context(context), m_progressBar(progressBar), m_statusLine(statusLine),
      m_stopEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
}

InstallThread::~InstallThread()
{
    if (m_stopEvent != nullptr)
        CloseHandle(m_stopEvent);
}

void InstallThread::stop()
{
    if (m_stopEvent != nullptr)
        SetEvent(m_stopEvent);
}

bool InstallThread::waitForEnd(DWORD milliseconds)
{
    return WaitForSingleObject(handle(), milliseconds) == WAIT_OBJECT_0;
}

void InstallThread::run()
{
    try {
        sequence();
    } catch (...) {
        // The sequence ends quietly; the page learns of it below like of a normal end.
    }
    PostMessageA(m_page, WM_COMMAND, CmdInstallDone, 0);
}

void InstallThread::sequence()
{
    const SetupScript& script = m_context.script();
    std::size_t total = 0;
    for (const char* list : lists)
        total += script.lineCount(list);
    SendMessageA(m_progressBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
    SendMessageA(m_progressBar, PBM_SETSTEP, 1, 0);
    setStatus("");

    m_imitation = m_context.variableIsTrue("Imitation");
    m_log = m_context.openInstallLog(m_imitation);

    // Declared in the order of making, so that an exception takes them down in reverse: the
    // registry writers, then the package, then error.log with what was collected.
    ErrorLog errors(joinPath(m_context.getVariable("AppDir"), "error.log"), m_log);
    FileHandler files(m_log, m_statusLine);
    FolderHandler folders(files);

    m_log->setListType(InstallLog::Application);
    processList("APPLICATION_FOLDERS", folders);
    processList("APPLICATION_FILES", files);
    m_log->setListType(InstallLog::Shared);
    processList("SHARED_FOLDERS", folders);
    processList("SHARED_FILES", files);
    m_log->setListType(InstallLog::System);
    processList("SYSTEM_FOLDERS", folders);
    processList("SYSTEM_FILES", files);
    rebootRequired = files.rebootNeeded();

    setStatus("Create registry keys");
    RegistryHandler registry(m_log, &errors);
    processList("REGISTRY_ENTRIES", registry);
    FileTypeHandler fileTypes(registry);
    processList("FILE_TYPES", fileTypes);
    {
        ShortcutHandler shortcuts(m_context, m_log, &errors, m_statusLine);
        processList("SHORTCUTS", shortcuts);
    }
    IniHandler ini(m_log, &errors);
    processList("INI_FILES", ini);

    if (!m_imitation) {
        registry.setMode(RegistryHandler::LogEveryKey);
        if (m_context.variableIsTrue("EnableUninstaller")) {
            for (const char* text : uninstallRecords) {
                std::string record = text;
                m_context.expandVariables(record);
                registry.apply(record);
            }
        }
        registry.writeUserData(m_context);
        registry.setMode(RegistryHandler::LogCreatedKeys);
    }

    setStatus("");
    checkStop();
    if (m_context.afterInstallProgram()) {
        std::string command = *m_context.afterInstallProgram();
        m_context.expandVariables(command);
        runProgram(ProgramRecord::parse(command));
    }
    // Written here rather than by the destructor, so that a failure ends the sequence the
    // same way as any other.
    errors.write();
}

template <typename Handler>
void InstallThread::processList(const char* section, Handler& handler)
{
    const SetupScript& script = m_context.script();
    for (std::size_t i = 0; i < script.lineCount(section); ++i) {
        checkStop();
        std::string record;
        if (!m_imitation && script.getLine(section, i, record)) {
            m_context.expandVariables(record);
            handler.apply(record);
        }
        Sleep(recordPause);
        SendMessageA(m_progressBar, PBM_STEPIT, 0, 0);
    }
}

void InstallThread::checkStop()
{
    if (m_stopEvent != nullptr && WaitForSingleObject(m_stopEvent, 0) == WAIT_OBJECT_0)
        throw Stopped();
}

void InstallThread::setStatus(const char* text)
{
    SendMessageA(m_statusLine, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
