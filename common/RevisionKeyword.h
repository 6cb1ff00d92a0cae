// The about boxes show texts cut out of revision-control keywords such as
// "$Name: TelvaneHost_4_3_4 $": everything after the keyword's first seven characters
// ("$Name: ") except the closing "$"; the blank before it stays.
#pragma once

#include <cstring>
#include <string>

inline std::string CutRevisionKeyword(const char* source)
{
    size_t length = source ? std::strlen(source) : 0;
    if (length < 8)
        return std::string();
    return std::string(source + 7, length - 8);
}
