// FinishPage: view-readme and run-application boxes as the script sets them; only Finish ends it.
#include "FinishPage.h"

#include "ControlHelpers.h"
#include "SetupContext.h"

namespace {

void prepareBox(HWND box, bool shown, bool ticked)
{
    if (shown) {
        controls::show(box);
        if (ticked)
            controls::tick(box);
        else
            controls::untick(box);
    } else {
        controls::hide(box);
        controls::untick(box);
    }
}

} // namespace

bool FinishPage::onInitDialog(HWND)
{
    attachPicture();
    setCaption("FinishTitle");
    setText(IDC_TEXT1, "FinishText1");
    setText(IDC_TEXT2, "FinishText2");
    setText(IDC_BACK, "FinishBack");
    setText(IDC_FINISH, "FinishFinish");
    setText(IDC_CHECK1, "FinishCheck1");
    setText(IDC_CHECK2, "FinishCheck2");
    prepareBox(item(IDC_CHECK1), m_context.showViewReadme(), m_context.viewReadmeChecked());
    prepareBox(item(IDC_CHECK2), m_context.showRunApplication(), m_context.runApplicationChecked());
    centre();
    return true;
}

bool FinishPage::onCommand(HWND, int id, int)
{
    if (id != IDC_FINISH)
        return false;
    m_context.setViewReadme(controls::isTicked(item(IDC_CHECK1)));
    m_context.setRunApplication(controls::isTicked(item(IDC_CHECK2)));
    end(CmdNext);
    return true;
}
