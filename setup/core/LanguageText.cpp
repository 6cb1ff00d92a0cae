// Language list items and numbered-message arguments.
#include "LanguageText.h"

bool languageListItem(const std::string& list, std::size_t index, std::string& item)
{
    std::size_t begin = 0;
    for (std::size_t n = 0;; ++n) {
        std::size_t comma = list.find(',', begin);
        if (n == index) {
            item = list.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
            return true;
        }
        if (comma == std::string::npos || comma + 1 == list.size())
            return false;
        begin = comma + 1;
    }
}

std::string replaceFirstArgument(const std::string& message, const std::string& argument)
{
    std::string text = message;
    std::size_t at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}
