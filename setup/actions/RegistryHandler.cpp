// RegistryHandler: keys and values of the script, the uninstall entry and the UserData key.
#include "RegistryHandler.h"

#include <vector>

#include "ErrorLog.h"
#include "InstallLog.h"
#include "RecordFields.h"
#include "SetupApp.h"
#include "SetupContext.h"

RegistryHandler::RegistryHandler(InstallLog* log, ErrorLog* errors) : m_log(log), m_errors(errors)
{
}

HKEY RegistryHandler::rootKey(const std::string& text)
{
    if (text == "HKCR")
        return HKEY_CLASSES_ROOT;
    if (text == "HKCU")
        return HKEY_CURRENT_USER;
    if (text == "HKLM")
        return HKEY_LOCAL_MACHINE;
    if (text == "HKU")
        return HKEY_USERS;
    return nullptr;
}

void RegistryHandler::reportError(const std::string& message)
{
    if (m_errors != nullptr)
        m_errors->add(message);
}

void RegistryHandler::logKey(const std::string& rootText, const std::string& subkey)
{
    if (m_log != nullptr)
        m_log->addEntry(InstallLog::RegistryKey, rootText + "," + subkey);
}

bool RegistryHandler::makeKey(HKEY root, const std::string& subkey, bool& created)
{
    created = false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return true;
    }
    DWORD disposition = 0;
    char emptyClass[] = "";
    if (RegCreateKeyExA(root, subkey.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    created = true;
    return true;
}

bool RegistryHandler::createKey(HKEY root, const std::string& subkey, bool& created)
{
    if (makeKey(root, subkey, created))
        return true;
    reportError("Cannot create key:" + subkey);
    return false;
}

bool RegistryHandler::setString(HKEY root, const std::string& subkey, const std::string& name, const std::string& text)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, name == "(Default)" ? nullptr : name.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool RegistryHandler::setValue(HKEY root, const std::string& subkey, const std::string& name, const std::string& type,
                               const std::string& data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    const char* valueName = name == "(Default)" ? nullptr : name.c_str();
    bool done = true;
    if (!type.empty() && !data.empty()) {
        LONG result = ERROR_INVALID_PARAMETER;
        switch (type[0]) {
        case 'b':
        case 'B': {
            std::vector<unsigned char> bytes = binaryValueData(data);
            result = RegSetValueExA(key, valueName, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
            break;
        }
        case 'd':
        case 'D': {
            DWORD number = dwordValueData(data);
            result = RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
            break;
        }
        case 's':
        case 'S':
            result = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                    static_cast<DWORD>(data.size() + 1));
            break;
        }
        done = result == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return done;
}

void RegistryHandler::apply(const std::string& record)
{
    RecordFields fields(record);
    std::string type = fields.next();
    std::string rootText = fields.next();
    HKEY root = rootKey(rootText);
    if (root == nullptr) {
        reportError("Invalid major key:" + rootText);
        return;
    }
    std::string subkey = fields.next();
    if (type == "key") {
        bool created = false;
        createKey(root, subkey, created);
        if (m_mode == LogEveryKey || created)
            logKey(rootText, subkey);
    } else if (type == "value") {
        std::string name = fields.next();
        std::string valueType = fields.next();
        std::string data = fields.next();
        if (!setValue(root, subkey, name, valueType, data))
            reportError("Cannot create value:key='" + subkey + "' value name='" + name + "' value type='" + valueType +
                        "' value='" + data + "'");
    } else {
        reportError("Invalid record type(need key or value):" + type);
    }
}

void RegistryHandler::undo(const std::string& logLine)
{
    RecordFields fields(logLine);
    HKEY root = rootKey(fields.next());
    if (root == nullptr)
        return;
    RegDeleteKeyA(root, fields.next().c_str());
}

void RegistryHandler::writeUserData(SetupContext& context)
{
    std::string path = "SOFTWARE\\Ostrel\\Stowpack\\UserData";
    bool created = false;
    for (const char* name : {"CompanyName", "ProductName", "ProductVersion"}) {
        path += "\\" + context.getVariable(name);
        createKey(HKEY_LOCAL_MACHINE, path, created);
        logKey("HKLM", path);
    }
    const std::string values[][2] = {
        {"AppDir", context.getVariable("AppDir")},
        {"AppShortcutFolder", context.getVariable("OutputProgramGroup")},
        {"InstallSource", moduleFolder()},
        {"InstallerVersion", engineVersion()},
    };
    for (const auto& value : values)
        setString(HKEY_LOCAL_MACHINE, path, value[0], value[1]);
}
