// Fuzzing the font setting parser.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FontSpec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FontSpec parsed = parseFontSpec(std::string(reinterpret_cast<const char*>(data), size));
    if (parsed.faceName.size() > FontSpec::maxFaceLength)
        __builtin_trap();
    return 0;
}
