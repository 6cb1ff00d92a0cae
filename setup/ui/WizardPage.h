// WizardPage: the controller of one open wizard dialog, its factory and the one dialog procedure.
#pragma once

#include <windows.h>

#include <string>

#include "CustomBitmapControl.h"
#include "SetupCommand.h"

class SetupContext;
class WizardPage;

class WizardPageFactory {
public:
    explicit WizardPageFactory(SetupContext& context) : m_context(context) {}
    virtual ~WizardPageFactory() = default;
    virtual WizardPage* createPage(HWND dialog) = 0;

protected:
    SetupContext& m_context;
};

template <class Page>
class PageFactory : public WizardPageFactory {
public:
    using WizardPageFactory::WizardPageFactory;
    WizardPage* createPage(HWND dialog) override { return new Page(m_context, dialog); }
};

class WizardPage {
public:
    WizardPage(SetupContext& context, HWND dialog) : m_context(context), m_dialog(dialog) {}
    virtual ~WizardPage() = default;
    WizardPage(const WizardPage&) = delete;
    WizardPage& operator=(const WizardPage&) = delete;

    virtual bool onInitDialog(HWND dialog) = 0;
    virtual bool onCommand(HWND, int, int) { return false; }
    virtual bool onNotify(HWND, WPARAM, LPARAM) { return false; }
    virtual void onDestroy(HWND) { m_picture.restore(); }
    virtual void onTimer(HWND, UINT_PTR) {}

protected:
    HWND item(int id) const { return GetDlgItem(m_dialog, id); }
    void setCaption(const char* variable);
    void setText(int id, const char* variable);
    // Subclasses picture control 1040 and gives it the script's custom picture.
    void attachPicture();
    void centre();
    // The Exit Setup question: true when the user confirmed leaving.
    bool showExitConfirmation();
    // Cancel of the pages: ends the page with CmdClose once the user confirms.
    bool standardCancel();
    // Back, Next and Cancel of the pages that have nothing else to do: CmdBack, CmdNext, and
    // standardCancel.
    bool backNextCancel(int id);
    void end(SetupCommand command) { EndDialog(m_dialog, command); }
    // The file's bytes up to the first NUL into an edit; a file that cannot be opened leaves
    // the edit empty.
    static void loadTextFile(HWND edit, const std::string& path);

    SetupContext& m_context;
    HWND m_dialog;

private:
    CustomBitmapControl m_picture;
};

INT_PTR CALLBACK pageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// DialogBoxParam of a template with a page factory; a failure kept by a callback inside the
// dialog is rethrown here. -1 when the dialog could not be made.
INT_PTR runPageDialog(int templateId, HWND owner, WizardPageFactory& factory);
