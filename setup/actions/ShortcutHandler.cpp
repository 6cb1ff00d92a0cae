// ShortcutHandler: shortcut files through the shell's link and Internet shortcut objects.
#include "ShortcutHandler.h"

#include <intshcut.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdlib>

#include "ErrorLog.h"
#include "InstallLog.h"
#include "RecordFields.h"
#include "SetupContext.h"

namespace {

const CLSID shellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID shellLinkInterface = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const CLSID internetShortcutClass = {0xFBF23B40, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};
const IID urlInterface = {0xFBF23B80, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};
const IID persistFileInterface = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Skips the fields before the one wanted; fields are numbered from 1.
std::string field(const std::string& record, int number)
{
    RecordFields fields(record);
    std::string value;
    for (int n = 1; n <= number; ++n)
        value = fields.next();
    return value;
}

bool isFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

template <typename Interface>
struct Released {
    Interface* object = nullptr;
    ~Released()
    {
        if (object != nullptr)
            object->Release();
    }
};

} // namespace

ShortcutHandler::ShortcutHandler(SetupContext& context, InstallLog* log, ErrorLog* errors, HWND statusLine)
    : m_context(context), m_log(log), m_errors(errors), m_statusLine(statusLine)
{
    m_comInitialised = SUCCEEDED(CoInitialize(nullptr));
    setStatus("Create shortcuts");
}

ShortcutHandler::~ShortcutHandler()
{
    setStatus("");
    // A failed CoInitialize must not be balanced: it would end COM for whoever began it.
    if (m_comInitialised)
        CoUninitialize();
}

void ShortcutHandler::apply(const std::string& record)
{
    std::string type = field(record, 1);
    std::string path = field(record, 2);
    m_context.expandVariables(path);
    if (path.empty()) {
        reportError("bad format Shortcut record:link path is empty");
        return;
    }
    std::size_t slash = path.rfind('\\');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    if (!makeFolder(folder))
        reportError("can't make dir for shortcut:" + folder);

    char kind = type.empty() ? '\0' : type[0];
    if (kind == 's')
        createShellLink(path + ".lnk", record);
    else if (kind == 'i' || kind == 'w')
        createInternetShortcut(path + ".url", record);
    else
        reportError("Unknown link type:" + type);
}

void ShortcutHandler::createShellLink(const std::string& path, const std::string& record)
{
    Released<IShellLinkA> link;
    if (FAILED(CoCreateInstance(shellLinkClass, nullptr, CLSCTX_INPROC_SERVER, shellLinkInterface,
                                reinterpret_cast<void**>(&link.object)))) {
        reportError("can't get IShellLink interface");
        return;
    }
    RecordFields fields(record);
    fields.next();
    fields.next();
    std::string target = fields.next();
    std::string arguments = fields.next();
    std::string iconFile = fields.next();
    std::string iconIndex = fields.next();
    std::string show = fields.next();
    std::string workingFolder = fields.next();

    m_context.expandVariables(target);
    link.object->SetPath(target.c_str());
    if (!arguments.empty())
        link.object->SetArguments(arguments.c_str());
    if (!iconFile.empty())
        link.object->SetIconLocation(iconFile.c_str(), std::atoi(iconIndex.c_str()));
    if (!show.empty())
        link.object->SetShowCmd(std::atoi(show.c_str()));
    if (!workingFolder.empty())
        link.object->SetWorkingDirectory(workingFolder.c_str());
    save(link.object, path, true);
}

void ShortcutHandler::createInternetShortcut(const std::string& path, const std::string& record)
{
    Released<IUniformResourceLocatorA> shortcut;
    if (FAILED(CoCreateInstance(internetShortcutClass, nullptr, CLSCTX_INPROC_SERVER, urlInterface,
                                reinterpret_cast<void**>(&shortcut.object))))
        return;
    std::string url = field(record, 3);
    if (FAILED(shortcut.object->SetURL(url.c_str(), IURL_SETURL_FL_USE_DEFAULT_PROTOCOL)))
        return;
    save(shortcut.object, path, false);
}

void ShortcutHandler::save(IUnknown* object, const std::string& path, bool reportFailure)
{
    Released<IPersistFile> file;
    if (FAILED(object->QueryInterface(persistFileInterface, reinterpret_cast<void**>(&file.object)))) {
        if (reportFailure)
            reportError("can't get IPersistFile interface");
        return;
    }
    // A path that does not fit is not cut short: the shortcut would land somewhere else.
    WCHAR widePath[MAX_PATH];
    int converted = path.size() < MAX_PATH ? MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH) : 0;
    if (converted == 0 || FAILED(file.object->Save(widePath, FALSE))) {
        if (reportFailure)
            reportError("can't save shortcut:" + path);
        return;
    }
    if (m_log != nullptr)
        m_log->addEntry(InstallLog::File, path, InstallLog::Shortcut);
}

bool ShortcutHandler::makeFolder(const std::string& folder)
{
    if (folder.empty())
        return true;
    std::size_t first = 1;
    if (folder.size() >= 2 && folder[1] == ':') {
        if (folder.size() < 4)
            return true;
        std::string root = folder.substr(0, 2) + "\\";
        UINT type = GetDriveTypeA(root.c_str());
        if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR)
            return false;
        first = 3;
    }
    if (isFolder(folder))
        return true;
    for (std::size_t slash = folder.find('\\', first); slash != std::string::npos && slash + 1 < folder.size();
         slash = folder.find('\\', slash + 1))
        createOneFolder(folder.substr(0, slash));
    createOneFolder(folder);
    return isFolder(folder);
}

bool ShortcutHandler::createOneFolder(const std::string& folder)
{
    if (isFolder(folder) || !CreateDirectoryA(folder.c_str(), nullptr))
        return false;
    if (m_log != nullptr)
        m_log->addEntry(InstallLog::Folder, folder);
    return true;
}

void ShortcutHandler::reportError(const std::string& message)
{
    if (m_errors != nullptr)
        m_errors->add(message);
}

void ShortcutHandler::setStatus(const char* text)
{
    if (m_statusLine != nullptr)
        SendMessageA(m_statusLine, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
