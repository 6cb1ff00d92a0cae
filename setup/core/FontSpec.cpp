// FontSpec: parsing of a font setting.
#include "FontSpec.h"

#include "VariableTable.h"

FontSpec parseFontSpec(const std::string& text)
{
    FontSpec font;
    std::size_t begin = 0;
    for (int n = 0; n < 5; ++n) {
        std::size_t comma = text.find(',', begin);
        if (comma == std::string::npos)
            return font;
        std::string field = text.substr(begin, comma - begin);
        begin = comma + 1;
        switch (n) {
        case 0:
            if (field.size() <= FontSpec::maxFaceLength)
                font.faceName = field;
            break;
        case 1:
            font.height = textToInt(field);
            break;
        case 2:
            font.weight = textToInt(field);
            break;
        case 3:
            font.italic = static_cast<std::uint8_t>(textToInt(field) & 0xFF);
            break;
        case 4:
            font.underline = static_cast<std::uint8_t>(textToInt(field) & 0xFF);
            break;
        }
    }
    font.strikeOut = static_cast<std::uint8_t>(textToInt(text.substr(begin)) & 0xFF);
    return font;
}
