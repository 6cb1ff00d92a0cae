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

SetupScript::SetupScript(SetupScript&& other) : m_text(std::move(other.m_text)), m_index(std::move(other.m_index))
{
    other.m_text.clear();
    other.m_index = std::make_shared<SectionIndex>();
}

SetupScript& SetupScript::operator=(SetupScript&& other)
{
    if (this != &other) {
        m_text = std::move(other.m_text);
        m_index = std::move(other.m_index);
        other.m_text.clear();
        other.m_index = std::make_shared<SectionIndex>();
    }
    return *this;
}

SetupScript::Lines SetupScript::scanSection(const std::string& section) const
{
    Lines lines;
    forEachLine(section, [&](std::size_t begin, std::size_t end) {
        lines.emplace_back(begin, end);
        return false;
    });
    return lines;
}

const SetupScript::Lines& SetupScript::sectionLines(const std::string& section) const
{
    SectionIndex& index = *m_index;
    auto lock = [&index] {
        while (index.busy.test_and_set(std::memory_order_acquire)) {}
    };
    auto unlock = [&index] { index.busy.clear(std::memory_order_release); };

    lock();
    auto found = index.sections.find(section);
    bool known = found != index.sections.end();
    unlock();
    if (known)
        return found->second;
    // Scanned without the lock; entries are never changed or removed once in the map, so a
    // reference to one stays valid while other sections are added.
    Lines lines = scanSection(section);
    lock();
    const Lines& kept = index.sections.emplace(section, std::move(lines)).first->second;
    unlock();
    return kept;
}

std::size_t SetupScript::lineCount(const std::string& section) const
{
    return sectionLines(section).size();
}

bool SetupScript::getLine(const std::string& section, std::size_t n, std::string& line) const
{
    line.clear();
    const Lines& lines = sectionLines(section);
    if (n >= lines.size())
        return false;
    line.assign(m_text, lines[n].first, lines[n].second - lines[n].first);
    return true;
}

std::string SetupScript::getString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const
{
    for (const auto& [begin, end] : sectionLines(section)) {
        const char* line = m_text.data() + begin;
        const void* found = std::memchr(line, '=', end - begin);
        if (found == nullptr)
            continue;
        std::size_t equals = begin + static_cast<std::size_t>(static_cast<const char*>(found) - line);
        if (equals - begin != key.size() || m_text.compare(begin, key.size(), key) != 0)
            continue;
        return std::string(m_text, equals + 1, end - equals - 1);
    }
    return defaultValue;
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
