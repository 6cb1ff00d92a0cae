// Fuzzing the split of SetupLanguages and the message argument.
#include <cstddef>
#include <cstdint>
#include <string>

#include "LanguageText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string list(reinterpret_cast<const char*>(data), size);
    std::string item;
    std::size_t count = 0;
    while (count <= size + 1 && languageListItem(list, count, item))
        ++count;
    // Never more items than commas plus one, and the empty list has one.
    std::size_t commas = 0;
    for (char c : list)
        commas += c == ',';
    if (count == 0 || count > commas + 1)
        __builtin_trap();
    std::string replaced = replaceFirstArgument(list, "Windows 98");
    if (list.find("%1") != std::string::npos && replaced.size() != list.size() + 8)
        __builtin_trap();
    return 0;
}
