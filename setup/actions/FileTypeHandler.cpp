// FileTypeHandler: a new extension, its class, open command and icon under HKEY_CLASSES_ROOT.
#include "FileTypeHandler.h"

#include <windows.h>

#include "RecordFields.h"
#include "RegistryHandler.h"

namespace {

// Creates the key, sets its default text and logs it; false when the key cannot be made.
bool writeKey(RegistryHandler& registry, const std::string& subkey, const std::string& text)
{
    bool created = false;
    if (!RegistryHandler::makeKey(HKEY_CLASSES_ROOT, subkey, created))
        return false;
    RegistryHandler::setString(HKEY_CLASSES_ROOT, subkey, "(Default)", text);
    registry.logKey("HKCR", subkey);
    return true;
}

} // namespace

void FileTypeHandler::apply(const std::string& record)
{
    RecordFields fields(record);
    std::string extension = fields.next();
    std::string className = fields.next();
    std::string description = fields.next();
    std::string command = fields.next();
    std::string iconFile = fields.next();
    std::string iconIndex = fields.next();

    // An association the user or another program already made is never changed.
    HKEY existing = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS) {
        RegCloseKey(existing);
        return;
    }
    if (!writeKey(m_registry, extension, className) || !writeKey(m_registry, className, description) ||
        !writeKey(m_registry, className + "\\shell\\open\\command", command))
        return;
    if (!iconFile.empty())
        writeKey(m_registry, className + "\\DefaultIcon", iconIndex.empty() ? iconFile : iconFile + "," + iconIndex);
}
