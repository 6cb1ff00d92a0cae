// A program's status log.
#include "StatusLog.h"

#include <winsock2.h>
#include <windows.h>

#include "App.h"

void CStatusLog::Add(StatusKind kind, const CString& text)
{
    m_entries.Add(new CStatusEntry(kind, text));
    // Each line also goes to the debug output, where a debugger (or a test) can follow the
    // log without opening the Status dialog.
    CString line;
    line.Format("%s status %d: %s\n", AfxGetApp() ? AfxGetApp()->m_pszAppName : "", static_cast<int>(kind),
                text.GetString());
    OutputDebugStringA(line);
}

void CStatusLog::Clear()
{
    for (void* p : m_entries)
        delete static_cast<CStatusEntry*>(p);
    m_entries.RemoveAll();
}
