// Fuzzing the script reader: any bytes as a file, the first bytes choosing section and key.
#include <cstddef>
#include <cstdint>
#include <string>

#include "SetupScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    std::size_t sectionLength = data[0] % 8;
    std::size_t keyLength = data[1] % 8;
    data += 2;
    size -= 2;
    if (sectionLength + keyLength > size)
        return 0;
    std::string section(reinterpret_cast<const char*>(data), sectionLength);
    std::string key(reinterpret_cast<const char*>(data) + sectionLength, keyLength);
    SetupScript script = SetupScript::fromText(std::string(reinterpret_cast<const char*>(data), size));
    std::string value = script.getString(section, key, std::string());
    if (value.size() > size)
        __builtin_trap();
    script.getBool(section, key, true);
    std::size_t lines = script.lineCount(section);
    std::string line;
    if (lines > 0 && !script.getLine(section, lines - 1, line))
        __builtin_trap();
    if (script.getLine(section, lines, line))
        __builtin_trap();
    return 0;
}
