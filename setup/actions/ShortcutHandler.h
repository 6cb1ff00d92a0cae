// ShortcutHandler: SHORTCUTS records, shell shortcuts (.lnk) and Internet shortcuts (.url).
#pragma once

#include <windows.h>

#include <string>

#include "RecordHandler.h"

class ErrorLog;
class InstallLog;
class SetupContext;

class ShortcutHandler : public RecordHandler {
public:
    // Initialises COM on the calling thread for the handler's lifetime and shows "Create
    // shortcuts" in the status line. None of the arguments is owned; the status line may be null.
    ShortcutHandler(SetupContext& context, InstallLog* log, ErrorLog* errors, HWND statusLine);
    // Empties the status line and ends COM again if the constructor began it.
    ~ShortcutHandler() override;
    ShortcutHandler(const ShortcutHandler&) = delete;
    ShortcutHandler& operator=(const ShortcutHandler&) = delete;

    // "s,link path,target[,arguments[,icon file[,icon index[,show[,working folder]]]]]" or
    // "i,link path,URL" ("w" alike); the link path has no extension.
    void apply(const std::string& record) override;
    // Shortcut files are listed with the application files and go with them.
    void undo(const std::string&) override {}

    // Creates the folder and its missing parents, logging each one it creates; an empty path
    // and a drive root count as existing. True when the folder is there afterwards.
    bool makeFolder(const std::string& folder);

private:
    void createShellLink(const std::string& path, const std::string& record);
    void createInternetShortcut(const std::string& path, const std::string& record);
    void save(IUnknown* object, const std::string& path, bool reportFailure);
    bool createOneFolder(const std::string& folder);
    void reportError(const std::string& message);
    void setStatus(const char* text);

    SetupContext& m_context;
    InstallLog* m_log;
    ErrorLog* m_errors;
    HWND m_statusLine;
    bool m_comInitialised = false;
};
