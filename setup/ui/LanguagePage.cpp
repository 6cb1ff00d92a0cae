// LanguagePage: the script's languages, the current one selected; Next switches when it changed.
#include "LanguagePage.h"

#include <string>

#include "ControlHelpers.h"
#include "SetupContext.h"

bool LanguagePage::onInitDialog(HWND)
{
    attachPicture();
    setCaption("LanguageTitle");
    setText(IDC_TEXT1, "LanguageText1");
    setText(IDC_NEXT, "LanguageNext");
    setText(IDCANCEL, "LanguageCancel");
    HWND list = item(IDC_LIST);
    std::string name;
    // An empty item names no language file: chosen, it could only end setup with a failure.
    for (std::size_t i = 0; m_context.languageName(i, name); ++i)
        if (!name.empty())
            controls::addListItem(list, name.c_str());
    controls::selectListItem(list, m_context.getVariable("DefaultSetupLanguage").c_str());
    centre();
    return true;
}

bool LanguagePage::onCommand(HWND, int id, int)
{
    switch (id) {
    case IDC_NEXT: {
        HWND list = item(IDC_LIST);
        LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (index != LB_ERR) {
            std::string selected(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, index, 0)) + 1, '\0');
            SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&selected[0]));
            selected.resize(selected.find('\0'));
            if (selected != m_context.getVariable("DefaultSetupLanguage"))
                m_context.switchLanguage(selected);
        }
        end(CmdNext);
        return true;
    }
    case IDCANCEL:
        return standardCancel();
    default:
        return false;
    }
}
