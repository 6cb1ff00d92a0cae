// CWinApp: message loop, registry profile functions, message boxes, extension modules.
#include "App.h"

#include <vector>

#include "Handles.h"
#include "Wnd.h"

namespace {

CWinApp* g_app = nullptr;
std::vector<HINSTANCE> g_extensionModules;

} // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName)
{
    g_app = this;
    m_hInstance = GetModuleHandleA(nullptr);
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::Run()
{
    MSG msg;
    int got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    m_exitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const char* company)
{
    m_company = company;
}

CString CWinApp::SectionKeyPath(const char* section) const
{
    CString path("Software\\");
    path += m_company;
    path += "\\";
    path += m_pszAppName;
    path += "\\";
    path += section;
    return path;
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) const
{
    UniqueHKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionKeyPath(section), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return CString(defaultValue);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return CString(defaultValue);
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return CString(defaultValue);
    buffer[size] = '\0'; // a stored value need not end in a zero
    return CString(buffer.data());
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const
{
    UniqueHKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionKeyPath(section), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return static_cast<UINT>(defaultValue);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return static_cast<UINT>(defaultValue);
    return value;
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value)
{
    UniqueHKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SectionKeyPath(section), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return FALSE;
    const char* text = value ? value : "";
    return RegSetValueExA(key.get(), entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenA(text) + 1)) == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value)
{
    UniqueHKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SectionKeyPath(section), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return FALSE;
    DWORD number = static_cast<DWORD>(value);
    return RegSetValueExA(key.get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number)) ==
           ERROR_SUCCESS;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_app ? g_app->m_hInstance : GetModuleHandleA(nullptr);
}

int AfxMessageBox(const char* text, UINT type)
{
    // A box without an icon of its own gets the one that fits its buttons, as users expect.
    if ((type & MB_ICONMASK) == 0)
        type |= ((type & MB_TYPEMASK) == MB_OK || (type & MB_TYPEMASK) == MB_OKCANCEL) ? MB_ICONEXCLAMATION
                                                                                       : MB_ICONQUESTION;
    const char* caption = g_app ? g_app->m_pszAppName : "";
    HWND owner = nullptr;
    if (g_app && g_app->m_pMainWnd && IsWindowVisible(g_app->m_pMainWnd->m_hWnd))
        owner = g_app->m_pMainWnd->m_hWnd;
    return MessageBoxA(owner, text, caption, type);
}

int AfxMessageBox(UINT stringId, UINT type)
{
    char text[512] = "";
    LoadStringA(AfxGetInstanceHandle(), stringId, text, sizeof(text));
    return AfxMessageBox(text, type);
}

bool AfxInitExtensionModule(HINSTANCE module)
{
    char path[MAX_PATH];
    if (module == nullptr || GetModuleFileNameA(module, path, sizeof(path)) == 0)
        return false;
    g_extensionModules.push_back(module);
    return true;
}

void AfxTermExtensionModule(HINSTANCE module)
{
    for (auto it = g_extensionModules.begin(); it != g_extensionModules.end(); ++it) {
        if (*it == module) {
            g_extensionModules.erase(it);
            return;
        }
    }
}

bool AfxIsExtensionModule(HINSTANCE module)
{
    for (HINSTANCE known : g_extensionModules)
        if (known == module)
            return true;
    return false;
}
