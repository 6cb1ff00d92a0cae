// Fuzzing the number and truth readings of variable values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "VariableTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::uint32_t decimal = textToUnsigned(text, 10);
    std::uint32_t hex = textToUnsigned(text, 16);
    // Plain decimal digits read the same in base 16 when there are none beyond 9.
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos && text.size() < 9 && decimal > hex)
        __builtin_trap();
    textToInt(text);
    textIsTrue(text);
    return 0;
}
