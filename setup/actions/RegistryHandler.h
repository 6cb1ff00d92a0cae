// RegistryHandler: REGISTRY_ENTRIES records, the uninstall records and the UserData key.
#pragma once

#include <windows.h>

#include <string>

#include "RecordHandler.h"

class ErrorLog;
class InstallLog;
class SetupContext;

class RegistryHandler : public RecordHandler {
public:
    enum Mode { LogCreatedKeys = 1, LogEveryKey = 2 };

    // Neither is owned; both may be null for a handler that only undoes.
    RegistryHandler(InstallLog* log, ErrorLog* errors);
    RegistryHandler() : RegistryHandler(nullptr, nullptr) {}

    // "key,ROOT,subkey" or "value,ROOT,subkey,name,type,data".
    void apply(const std::string& record) override;
    // A REGENTRY line "ROOT,subkey": deletes the key; unknown roots are skipped.
    void undo(const std::string& logLine) override;

    int mode() const { return m_mode; }
    void setMode(int mode) { m_mode = mode; }
    InstallLog* log() const { return m_log; }

    // SOFTWARE\Ostrel\Stowpack\UserData\<company>\<product>\<version> under HKLM, every key
    // logged, with the values AppDir, AppShortcutFolder, InstallSource and InstallerVersion.
    void writeUserData(SetupContext& context);

    // "HKCR", "HKCU", "HKLM" or "HKU"; null for any other text.
    static HKEY rootKey(const std::string& text);
    // Opens or creates the key; created tells whether this call made it. A failed creation
    // adds "Cannot create key:" and the subkey to the error log.
    bool createKey(HKEY root, const std::string& subkey, bool& created);
    // The same without a message.
    static bool makeKey(HKEY root, const std::string& subkey, bool& created);
    // Sets a REG_SZ value of an existing key, also an empty one; "(Default)" names the
    // unnamed value.
    static bool setString(HKEY root, const std::string& subkey, const std::string& name, const std::string& text);
    // Sets one value of an existing key by the record's type letter; false on failure.
    static bool setValue(HKEY root, const std::string& subkey, const std::string& name, const std::string& type,
                         const std::string& data);
    // Adds "rootText,subkey" to the install log's REGENTRY list.
    void logKey(const std::string& rootText, const std::string& subkey);

private:
    void reportError(const std::string& message);

    int m_mode = LogCreatedKeys;
    InstallLog* m_log;
    ErrorLog* m_errors;
};
