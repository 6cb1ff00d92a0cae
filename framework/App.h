// CWinApp: the one application object of a program, its message loop and its
// per-user settings (the registry profile functions).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include "Str.h"

class CWnd;

class CWinApp {
public:
    // appName is the program's title; it names the registry key and message box captions.
    explicit CWinApp(const char* appName);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    virtual int ExitInstance() { return m_exitCode; }

    // Settings live under HKEY_CURRENT_USER\Software\<company>\<appName>\<section>.
    void SetRegistryKey(const char* company);
    CString GetProfileString(const char* section, const char* entry, const char* defaultValue) const;
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue) const;
    BOOL WriteProfileString(const char* section, const char* entry, const char* value);
    BOOL WriteProfileInt(const char* section, const char* entry, int value);

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    const char* m_pszAppName;

protected:
    CString SectionKeyPath(const char* section) const;

    CString m_company;
    int m_exitCode = 0;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// A modal box with an OK button (or the buttons in type), captioned with the program's name.
int AfxMessageBox(const char* text, UINT type = MB_OK);
// The same with the text of a string resource of the program.
int AfxMessageBox(UINT stringId, UINT type = MB_OK);

// A DLL built on this layer records its module at attach and drops it at detach. The layer
// is linked into each module, so the record is the DLL's own; it fails for a module that
// is not loaded.
bool AfxInitExtensionModule(HINSTANCE module);
void AfxTermExtensionModule(HINSTANCE module);
bool AfxIsExtensionModule(HINSTANCE module);
