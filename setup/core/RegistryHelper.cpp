// RegistryHelper: value paths, the 260-byte query and the conversion to text.
#include "RegistryHelper.h"

#include <cstdio>
#include <cstring>

namespace {

HKEY rootKey(int root)
{
    switch (root) {
    case 1:
        return HKEY_CLASSES_ROOT;
    case 2:
        return HKEY_CURRENT_USER;
    case 3:
        return HKEY_LOCAL_MACHINE;
    default:
        return nullptr;
    }
}

} // namespace

bool RegistryHelper::getString(int root, const std::string& valuePath, std::string& text)
{
    HKEY base = rootKey(root);
    // A longer path fails: the key names of the engine's systems hold no more.
    if (base == nullptr || valuePath.size() > maxPathLength)
        return false;
    std::size_t slash = valuePath.rfind('\\');
    std::string keyPath = slash == std::string::npos ? std::string() : valuePath.substr(0, slash);
    std::string valueName = slash == std::string::npos ? valuePath : valuePath.substr(slash + 1);
    HKEY key = nullptr;
    if (RegOpenKeyExA(base, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    // The query gets room to spare: some systems count a byte more than the text and its zero
    // and refuse a buffer that the text alone fills. What is longer than 259 characters still
    // fails, as it always did.
    BYTE data[2 * MAX_PATH + 2] = {};
    DWORD size = sizeof(data) - 1;
    DWORD type = REG_NONE;
    LONG result = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return false;
    std::string value;
    bool converted = valueToText(type, data, size, value);
    if (converted && value.size() > MAX_PATH - 1)
        return false;
    text = value;
    return converted;
}

bool RegistryHelper::getMachineSoftwareString(const std::string& key, const std::string& valuePath, std::string& text)
{
    return getString(3, "Software\\" + key + "\\" + valuePath, text);
}

bool RegistryHelper::valueToText(DWORD type, const BYTE* data, DWORD size, std::string& text)
{
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        const char* chars = reinterpret_cast<const char*>(data);
        const void* end = std::memchr(chars, '\0', size);
        text.assign(chars, end != nullptr ? static_cast<const char*>(end) - chars : size);
        return true;
    }
    case REG_BINARY:
        text = "Binary data";
        return false;
    case REG_DWORD: {
        if (size < sizeof(DWORD)) {
            text = "Can't convert to string";
            return false;
        }
        DWORD value;
        std::memcpy(&value, data, sizeof value);
        char number[16];
        std::snprintf(number, sizeof number, "%ld", static_cast<long>(static_cast<LONG>(value)));
        text = number;
        return true;
    }
    default:
        text = "Can't convert to string";
        return false;
    }
}
