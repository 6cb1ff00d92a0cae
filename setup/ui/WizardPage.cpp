// WizardPage: text binding, centring, the exit question and pageDialogProc.
#include "WizardPage.h"

#include <cstdio>
#include <string>

#include "CallbackFailure.h"
#include "ExitSetupPage.h"
#include "SetupApp.h"
#include "SetupContext.h"
#include "SetupExceptions.h"
#include "TextFile.h"
#include "resource.h"

void WizardPage::setCaption(const char* variable)
{
    std::string text = m_context.getVariable(variable);
    SendMessageA(m_dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void WizardPage::setText(int id, const char* variable)
{
    std::string text = m_context.getVariable(variable);
    SendMessageA(item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void WizardPage::attachPicture()
{
    m_picture.subclass(item(IDC_PICTURE));
    m_picture.setPicture(m_context.getVariable("CustomDlgBitmap_Pathname"));
}

void WizardPage::centre()
{
    RECT desktop, own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(m_dialog, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = desktop.left + ((desktop.right - desktop.left) - width) / 2;
    int y = desktop.top + ((desktop.bottom - desktop.top) - height) / 2;
    SetWindowPos(m_dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WizardPage::loadTextFile(HWND edit, const std::string& path)
{
    if (path.empty())
        return;
    std::string text;
    try {
        TextFile file(std::string(), path, "rb");
        for (int c = std::fgetc(file.stream()); c != EOF; c = std::fgetc(file.stream()))
            text += static_cast<char>(c);
    } catch (const FileException&) {
        return;
    }
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool WizardPage::showExitConfirmation()
{
    PageFactory<ExitSetupPage> factory(m_context);
    return runPageDialog(ExitSetupPage::IDD, m_dialog, factory) == CmdClose;
}

bool WizardPage::standardCancel()
{
    if (!showExitConfirmation())
        return false;
    end(CmdClose);
    return true;
}

bool WizardPage::backNextCancel(int id)
{
    switch (id) {
    case IDC_BACK:
        end(CmdBack);
        return true;
    case IDC_NEXT:
        end(CmdNext);
        return true;
    case IDCANCEL:
        return standardCancel();
    default:
        return false;
    }
}

INT_PTR CALLBACK pageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        auto* page = reinterpret_cast<WizardPage*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
        // DM_GETDEFID, DM_SETDEFID and DM_REPOSITION are the dialog manager's own: their
        // wParam is no command and must not press the default button.
        if (message >= WM_USER + 3 && page != nullptr) {
            if (page->onCommand(dialog, LOWORD(wParam), HIWORD(wParam)))
                return 1;
        }
        switch (message) {
        case WM_INITDIALOG: {
            auto* factory = reinterpret_cast<WizardPageFactory*>(lParam);
            page = factory->createPage(dialog);
            SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(page));
            return page->onInitDialog(dialog) ? 1 : 0;
        }
        case WM_COMMAND:
            return page != nullptr && page->onCommand(dialog, LOWORD(wParam), HIWORD(wParam)) ? 1 : 0;
        case WM_NOTIFY:
            return page != nullptr && page->onNotify(dialog, wParam, lParam) ? 1 : 0;
        case WM_TIMER:
            if (page != nullptr)
                page->onTimer(dialog, wParam);
            return 1;
        case WM_DESTROY:
            if (page != nullptr) {
                SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
                page->onDestroy(dialog);
                delete page;
            }
            return 0;
        default:
            return 0;
        }
    } catch (...) {
        callback::keepFailure();
        EndDialog(dialog, CmdClose);
        return 0;
    }
}

INT_PTR runPageDialog(int templateId, HWND owner, WizardPageFactory& factory)
{
    INT_PTR result = DialogBoxParamA(instanceHandle(), MAKEINTRESOURCEA(templateId), owner, pageDialogProc,
                                     reinterpret_cast<LPARAM>(&factory));
    callback::rethrowFailure();
    return result;
}
