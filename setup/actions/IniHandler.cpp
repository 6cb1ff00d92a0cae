// IniHandler: writing INI_FILES entries with the profile functions.
#include "IniHandler.h"

#include <windows.h>

#include "RecordFields.h"

void IniHandler::apply(const std::string& record)
{
    RecordFields fields(record);
    std::string file = fields.next();
    std::string section = fields.next();
    std::string key = fields.next();
    std::string value = fields.next();
    if (file.empty())
        return;
    // Empty texts stay empty strings: a null key or value would delete a section or a key.
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}
