// Entry point of setup: start-up in a fixed order, the message loop and the failure box.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "CallbackFailure.h"
#include "ProgramRunner.h"
#include "SetupApp.h"
#include "SetupContext.h"
#include "SetupExceptions.h"
#include "SetupWindow.h"
#include "resource.h"

namespace {

const int programIcon = IDI_SETUP;

void onOutOfMemory()
{
    throw WinException("Out of memory");
}

class ComInitializer {
public:
    ComInitializer()
    {
        if (CoInitialize(nullptr) != S_OK)
            throw WinException("Couldn't initialize COM");
    }
    ~ComInitializer() { CoUninitialize(); }
    ComInitializer(const ComInitializer&) = delete;
    ComInitializer& operator=(const ComInitializer&) = delete;
};

void initCommonControls()
{
    // Windows 95 without a newer comctl32 has no InitCommonControlsEx.
    if (WindowsVersion::query().isWindows95()) {
        InitCommonControls();
        return;
    }
    // Looked up at run time: an import of it would keep the program from loading at all on a
    // Windows 95 whose comctl32 predates it.
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    auto initEx =
        comctl ? reinterpret_cast<InitEx>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")))
               : nullptr;
    if (initEx == nullptr)
        return;
    INITCOMMONCONTROLSEX init = {};
    init.dwSize = 8;
    init.dwICC = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES;
    initEx(&init);
}

void processCommandLine(SetupContext& context, int count, char** arguments)
{
    for (int i = 1; i < count; ++i) {
        const char* argument = arguments[i];
        if (lstrcmpiA(argument, "-i") == 0) {
            context.setVariable("Imitation", "Y");
        } else if (lstrcmpiA(argument, "-d") == 0) {
            if (i + 1 < count)
                context.setVariable("SourceDir", arguments[++i]);
        }
        // "-s" is accepted and changes nothing, like every other argument.
    }
}

HICON loadIcon(int width, int height)
{
    return static_cast<HICON>(LoadImageA(instanceHandle(), MAKEINTRESOURCEA(programIcon), IMAGE_ICON,
                                         GetSystemMetrics(width), GetSystemMetrics(height), LR_DEFAULTCOLOR));
}

// Steps 3 to 16; the locals go in reverse order, window first, context last, also when a
// failure leaves early, and before the failure box is shown.
int runSetup()
{
    std::unique_ptr<SetupContext> context = std::make_unique<SetupContext>();
    ComInitializer com;
    initCommonControls();
    context->setVariable("SourceDir", moduleFolder());
    processCommandLine(*context, __argc, __argv);
    // The page plan depends on Imitation, which only the command line sets.
    context->fillPagePlan();
    publishContext(context.get());

    HICON icon = loadIcon(SM_CXICON, SM_CYICON);
    HICON smallIcon = loadIcon(SM_CXSMICON, SM_CYSMICON);
    registerWindowClass(CS_HREDRAW | CS_VREDRAW, mainWindowClassName(), LoadCursor(nullptr, IDC_ARROW),
                        reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1), instanceHandle(), icon, smallIcon);

    std::unique_ptr<SetupWindow> window = std::make_unique<SetupWindow>(*context);
    if (!context->unattended() && context->variableIsTrue("EnableUninstaller") && !window->checkEarlierInstallation()) {
        window.reset();
        publishContext(nullptr);
        return 0;
    }
    if (context->beforeInstallProgram())
        runProgram(*context->beforeInstallProgram());

    std::string title = context->getVariable("SWWindowTitle", true);
    HWND handle =
        CreateWindowExA(0, mainWindowClassName(), title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instanceHandle(), window.get());
    if (handle == nullptr) {
        // A failure inside onCreate is the one to report, not its consequence.
        callback::rethrowFailure();
        throw WinException("Can't create application window");
    }

    int exitCode = 0;
    MSG message;
    for (;;) {
        BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == -1) {
            exitCode = -1;
            break;
        }
        if (result == 0) {
            exitCode = static_cast<int>(message.wParam);
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
        callback::rethrowFailure();
    }
    callback::rethrowFailure();
    window.reset();
    publishContext(nullptr);
    // Written here, not by the context's destructor, so that "The disk is full" reaches the
    // failure box below instead of ending the program inside a destructor.
    context->writeInstallLog();
    return exitCode;
}

void showFailure(const char* text, const char* caption)
{
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONWARNING);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    storeInstanceHandle(instance);
    std::set_new_handler(onOutOfMemory);
    try {
        return runSetup();
    } catch (const WinException& e) {
        publishContext(nullptr);
        char text[512];
        std::snprintf(text, sizeof text, "%s, Error %d", e.text, static_cast<int>(e.code));
        showFailure(text, "Exception");
    } catch (const FileException& e) {
        publishContext(nullptr);
        // Built as a string: a file name may be as long as the script made it.
        std::string text = std::string(fileErrorText(e.kind)) + ": \"" + e.fileName + "\"";
        showFailure(text.c_str(), "Error");
    } catch (...) {
        publishContext(nullptr);
        showFailure("Unknown", "Exception");
    }
    return -1;
}
