// Fuzzing %name% expansion: a table of up to four variables and a text, all from the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "VariableTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Fields separated by a zero byte: name=value pairs, the last field the text to expand.
    std::string input(reinterpret_cast<const char*>(data), size);
    VariableTable table;
    std::size_t begin = 0;
    for (int n = 0; n < 4; ++n) {
        std::size_t end = input.find('\0', begin);
        if (end == std::string::npos)
            break;
        std::string field = input.substr(begin, end - begin);
        std::size_t equals = field.find('=');
        if (equals != std::string::npos)
            table.set(field.substr(0, equals), field.substr(equals + 1));
        begin = end + 1;
    }
    std::string text = input.substr(begin);
    table.expand(text);
    table.get(text.substr(0, 8), true);
    return 0;
}
