// ProgramGroupPage: the folders of the user's Programs menu to pick from, and the group edit.
#include "ProgramGroupPage.h"

#include <shlobj.h>

#include <string>

#include "ControlHelpers.h"
#include "SetupContext.h"

namespace {

std::string programsFolder()
{
    char path[MAX_PATH] = {};
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list)) || list == nullptr)
        return std::string();
    if (!SHGetPathFromIDListA(list, path))
        path[0] = '\0';
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
        allocator->Free(list);
        allocator->Release();
    }
    return path;
}

void listFolders(HWND list, const std::string& folder)
{
    if (folder.empty())
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.cFileName[0] == '.')
            continue;
        DWORD attributes = GetFileAttributesA((folder + "\\" + found.cFileName).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            controls::addListItem(list, found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

bool ProgramGroupPage::onInitDialog(HWND)
{
    attachPicture();
    setCaption("ProgmanTitle");
    setText(IDC_TEXT1, "ProgmanText1");
    setText(IDC_TEXT2, "ProgmanText2");
    setText(IDC_TEXT3, "ProgmanText3");
    std::string group = m_context.programGroup();
    controls::setText(item(IDC_EDIT), group.c_str());
    setText(IDC_BACK, "ProgmanBack");
    setText(IDC_NEXT, "ProgmanNext");
    setText(IDCANCEL, "ProgmanCancel");
    HWND list = item(IDC_LIST);
    listFolders(list, programsFolder());
    controls::selectListItem(list, m_context.defaultShortcutFolderName().c_str());
    centre();
    return true;
}

bool ProgramGroupPage::onCommand(HWND, int id, int code)
{
    switch (id) {
    case IDC_LIST:
        if (code == LBN_SELCHANGE) {
            HWND list = item(IDC_LIST);
            LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
            if (index != LB_ERR) {
                std::string text(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, index, 0)) + 1, '\0');
                SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
                controls::setText(item(IDC_EDIT), text.c_str());
            }
            return true;
        }
        return false;
    case IDC_NEXT:
        if (controls::textLength(item(IDC_EDIT)) > 0) {
            m_context.setOutputProgramGroup(controls::readText(item(IDC_EDIT)));
            end(CmdNext);
        }
        return true;
    case IDC_BACK:
        m_context.setOutputProgramGroup(m_context.defaultShortcutFolderName());
        end(CmdBack);
        return true;
    case IDCANCEL:
        return standardCancel();
    default:
        return false;
    }
}
