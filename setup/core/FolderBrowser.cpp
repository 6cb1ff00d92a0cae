// FolderBrowser: SHBrowseForFolder rooted at the desktop, titled from the language file.
#include "FolderBrowser.h"

#include <shlobj.h>

#include "SetupContext.h"
#include "SetupExceptions.h"

namespace {

struct BrowseTexts {
    std::string title;
    std::string prompt;
};

int CALLBACK onBrowseEvent(HWND dialog, UINT message, LPARAM, LPARAM data)
{
    // The dialog has a fixed caption of its own; the language file's replaces it once it exists.
    if (message == BFFM_INITIALIZED)
        SetWindowTextA(dialog, reinterpret_cast<const BrowseTexts*>(data)->title.c_str());
    return 0;
}

} // namespace

std::string FolderBrowser::browseForFolder(SetupContext& context, HWND owner)
{
    std::string path;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || desktop == nullptr)
        throw WinException("SHGetDesktopFolder failed");
    IMalloc* allocator = nullptr;
    if (SHGetMalloc(&allocator) == E_FAIL || allocator == nullptr) {
        desktop->Release();
        throw WinException("Couldn't obtain Shell Malloc");
    }
    WCHAR empty[1] = {0};
    LPITEMIDLIST root = nullptr;
    ULONG eaten = 0;
    if (SUCCEEDED(desktop->ParseDisplayName(owner, nullptr, empty, &eaten, &root, nullptr)) && root != nullptr) {
        BrowseTexts texts{context.getVariable("ChooseDirTitle"), context.getVariable("ChooseDirText1")};
        char displayName[MAX_PATH] = {};
        BROWSEINFOA info = {};
        info.hwndOwner = owner;
        info.pidlRoot = root;
        info.pszDisplayName = displayName;
        info.lpszTitle = texts.prompt.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        info.lpfn = onBrowseEvent;
        info.lParam = reinterpret_cast<LPARAM>(&texts);
        LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
        if (chosen != nullptr) {
            char buffer[MAX_PATH] = {};
            if (SHGetPathFromIDListA(chosen, buffer))
                path = buffer;
            allocator->Free(chosen);
        }
        allocator->Free(root);
    }
    allocator->Release();
    desktop->Release();
    return path;
}
