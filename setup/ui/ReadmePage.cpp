// ReadmePage: texts, own steps and Back, Next and Cancel.
#include "ReadmePage.h"

#include "SetupContext.h"

bool ReadmePage::onInitDialog(HWND)
{
    setCaption("ReadmeTitle");
    setText(IDC_TEXT1, "ReadmeText1");
    setText(IDC_BACK, "ReadmeBack");
    setText(IDC_NEXT, "ReadmeNext");
    setText(IDCANCEL, "ReadmeCancel");
    loadTextFile(item(IDC_EDIT), m_context.getVariable("Readme_Pathname"));
    centre();
    return true;
}

bool ReadmePage::onCommand(HWND, int id, int)
{
    return backNextCancel(id);
}
