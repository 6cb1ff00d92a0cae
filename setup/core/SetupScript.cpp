// SetupScript: line, section and entry rules of the engine's INI-like files.
#include "SetupScript.h"

#include <cstring>

namespace {

const char lineEnd[] = "\r\n";

bool isBlankChar(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isBlankLine(const std::string& text, std::size_t begin, std::size_t end)
{
    for (std::size_t i = begin; i < end; ++i)
        if (!isBlankChar(text[i]))
            return false;
    return true;
}

bool equalsIgnoringCase(const std::string& text, const char* word)
{
    std::size_t n = std::strlen(word);
    if (text.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return true;
}

} // namespace

SetupScript SetupScript::fromText(std::string text)
{
    return SetupScript(std::move(text));
}

template <typename Visit>
void SetupScript::forEachLine(const std::string& section, Visit visit) const
{
    const std::string header = "[" + section + "]";
    std::size_t at = m_text.find(header);
    if (at == std::string::npos)
        return;
    // The section's lines start after the line that holds the header.
    std::size_t lineBreak = m_text.find(lineEnd, at + header.size());
    if (lineBreak == std::string::npos)
        return;
    std::size_t begin = lineBreak + 2;
    // Text after the last CR LF is not a line; the search always moves forward, so a lone CR
    // (part of a line like any other byte) cannot stop the walk.
    for (;;) {
        std::size_t end = m_text.find(lineEnd, begin);
        if (end == std::string::npos)
            return;
        if (!isBlankLine(m_text, begin, end)) {
            if (m_text[begin] == '[')
                return;
            if (visit(begin, end))
                return;
        }
        begin = end + 2;
    }
}

std::size_t SetupScript::lineCount(const std::string& section) const
{
    std::size_t count = 0;
    forEachLine(section, [&](std::size_t, std::size_t) {
        ++count;
        return false;
    });
    return count;
}

bool SetupScript::getLine(const std::string& section, std::size_t n, std::string& line) const
{
    line.clear();
    bool found = false;
    std::size_t index = 0;
    forEachLine(section, [&](std::size_t begin, std::size_t end) {
        if (index++ != n)
            return false;
        line.assign(m_text, begin, end - begin);
        found = true;
        return true;
    });
    return found;
}

std::string SetupScript::getString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const
{
    std::string value = defaultValue;
    forEachLine(section, [&](std::size_t begin, std::size_t end) {
        const char* line = m_text.data() + begin;
        const void* found = std::memchr(line, '=', end - begin);
        if (found == nullptr)
            return false;
        std::size_t equals = begin + static_cast<std::size_t>(static_cast<const char*>(found) - line);
        if (equals - begin != key.size() || m_text.compare(begin, key.size(), key) != 0)
            return false;
        value.assign(m_text, equals + 1, end - equals - 1);
        return true;
    });
    return value;
}

bool SetupScript::getBool(const std::string& section, const std::string& key, bool defaultValue) const
{
    std::string value = getString(section, key, std::string());
    if (value.empty())
        return defaultValue;
    return equalsIgnoringCase(value, "yes") || equalsIgnoringCase(value, "true") || value[0] == '1';
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}
