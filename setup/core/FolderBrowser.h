// FolderBrowser: the shell's folder selection dialog of the Target directory page.
#pragma once

#include <windows.h>

#include <string>

class SetupContext;

class FolderBrowser {
public:
    // The chosen folder, or an empty text when the user cancels. Throws WinException when the
    // shell's desktop folder or allocator cannot be had.
    static std::string browseForFolder(SetupContext& context, HWND owner);
};
