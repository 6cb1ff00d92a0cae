// TargetDirPage: the folder edit, the space the product needs against what the drive has, Browse.
#include "TargetDirPage.h"

#include "ControlHelpers.h"
#include "FolderBrowser.h"
#include "ProgramRunner.h"
#include "SetupContext.h"
#include "WizardFlow.h"

bool TargetDirPage::onInitDialog(HWND)
{
    attachPicture();
    setCaption("TargetDirTitle");
    setText(IDC_TEXT1, "TargetDirText1");
    setText(IDC_TEXT2, "TargetDirText2");
    setText(IDC_TEXT3, "TargetDirText3");
    setText(IDC_TEXT4, "TargetDirText4");
    setText(IDC_BROWSE, "TargetDirBrowse");
    setText(IDC_BACK, "TargetDirBack");
    setText(IDC_NEXT, "TargetDirNext");
    setText(IDCANCEL, "TargetDirCancel");
    std::string appDir = m_context.appDir();
    controls::setText(item(IDC_EDIT), appDir.c_str());
    m_required = m_context.variableNumber("RequiredDiskSpace", 10);
    if (m_required != 0) {
        setText(IDC_TEXT5, "TargetDirText5");
        setText(IDC_TEXT7, "TargetDirText7");
        std::string required = std::to_string(m_required) + " KB";
        controls::setText(item(IDC_REQUIRED), required.c_str());
        checkSpace(appDir);
    } else {
        for (int id : {IDC_TEXT5, IDC_REQUIRED, IDC_TEXT7, IDC_AVAILABLE})
            controls::hide(item(id));
    }
    centre();
    return true;
}

void TargetDirPage::checkSpace(const std::string& path)
{
    if (m_required == 0)
        return;
    std::uint32_t available = freeDiskSpaceKB(path);
    EnableWindow(item(IDC_NEXT), available < m_required ? FALSE : TRUE);
    std::string text = std::to_string(available) + " KB";
    controls::setText(item(IDC_AVAILABLE), text.c_str());
}

bool TargetDirPage::onCommand(HWND dialog, int id, int)
{
    switch (id) {
    case IDC_NEXT:
        if (controls::textLength(item(IDC_EDIT)) > 0) {
            m_context.setAppDir(controls::readText(item(IDC_EDIT)));
            end(CmdNext);
        }
        return true;
    case IDC_BACK:
        m_context.setAppDir(m_context.defaultInstallationPath());
        end(CmdBack);
        return true;
    case IDC_BROWSE: {
        std::string folder = FolderBrowser::browseForFolder(m_context, dialog);
        if (!folder.empty()) {
            std::string target = wizard::browsedTarget(folder, m_context.defaultDirectoryName());
            controls::setText(item(IDC_EDIT), target.c_str());
            checkSpace(target);
        }
        return true;
    }
    case IDCANCEL:
        return standardCancel();
    default:
        return false;
    }
}
