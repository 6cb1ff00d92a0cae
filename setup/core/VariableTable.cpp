// VariableTable: storage, %name% expansion and the truth and number rules.
#include "VariableTable.h"

#include <algorithm>
#include <vector>

namespace {

// Self-referencing values (AppDir typed as "%AppDir%\x") would grow without end, and chains
// that double at every level grow exponentially. A reference inside text that was inserted
// for the same name is left as written, and past these bounds nothing more is expanded.
const std::size_t maxReplacements = 4096;
const std::size_t maxGrowth = 256 * 1024;

// Text inserted for a reference; chain indexes the names whose values produced it.
struct Region {
    std::size_t begin;
    std::size_t end;
    std::size_t chain;
};

// One link per replacement: the name inserted and the link of the text it was found in.
struct ChainLink {
    const std::string* name;
    std::size_t parent;
};
const std::size_t noChain = static_cast<std::size_t>(-1);

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

// The innermost inserted text that holds the whole reference [open, close]: a reference that
// only begins inside inserted text ("50%" followed by "P%") is no self-reference.
std::size_t innermostChain(const std::vector<Region>& regions, std::size_t open, std::size_t close)
{
    const Region* found = nullptr;
    for (const Region& r : regions)
        if (open >= r.begin && close < r.end && (found == nullptr || r.end - r.begin <= found->end - found->begin))
            found = &r;
    return found == nullptr ? noChain : found->chain;
}

bool chainHolds(const std::vector<ChainLink>& links, std::size_t chain, const std::string& name)
{
    for (; chain != noChain; chain = links[chain].parent)
        if (*links[chain].name == name)
            return true;
    return false;
}

// Text [from, to) was replaced by `length` bytes; keeps the other regions on their text.
void shiftRegions(std::vector<Region>& regions, std::size_t from, std::size_t to, std::size_t length)
{
    auto moved = [&](std::size_t at) { return at - (to - from) + length; };
    for (Region& r : regions) {
        if (r.end <= from)
            continue;
        if (r.begin >= to) {
            r.begin = moved(r.begin);
            r.end = moved(r.end);
        } else if (r.begin <= from && r.end >= to) {
            r.end = moved(r.end);
        } else if (r.begin < from) {
            // Partly overlapped: keep the part outside the replaced text.
            r.end = from;
        } else if (r.end > to) {
            r.begin = from + length;
            r.end = moved(r.end);
        } else {
            r.end = r.begin;
        }
    }
    regions.erase(std::remove_if(regions.begin(), regions.end(), [](const Region& r) { return r.begin >= r.end; }),
                  regions.end());
}

} // namespace

void VariableTable::set(const std::string& name, const std::string& value)
{
    m_values[name] = value;
}

std::string VariableTable::get(const std::string& name, bool expand)
{
    std::string value = m_values[name];
    if (expand)
        this->expand(value, &name);
    return value;
}

bool VariableTable::exists(const std::string& name) const
{
    return m_values.find(name) != m_values.end();
}

void VariableTable::expand(std::string& text) const
{
    expand(text, nullptr);
}

void VariableTable::expand(std::string& text, const std::string* owner) const
{
    std::vector<Region> regions;
    std::vector<ChainLink> links;
    if (owner != nullptr) {
        links.push_back(ChainLink{owner, noChain});
        regions.push_back(Region{0, text.size(), 0});
    }
    std::size_t replacements = 0;
    const std::size_t maxLength = text.size() + maxGrowth;
    std::size_t i = 0;
    for (;;) {
        std::size_t open = text.find('%', i);
        if (open == std::string::npos)
            return;
        std::size_t close = text.find('%', open + 1);
        if (close == std::string::npos)
            return;
        std::string name = text.substr(open + 1, close - open - 1);
        auto found = m_values.find(name);
        if (found == m_values.end()) {
            i = open + 1;
            continue;
        }
        // The scan never goes back before i, so regions wholly before it no longer matter.
        regions.erase(std::remove_if(regions.begin(), regions.end(), [&](const Region& r) { return r.end <= i; }),
                      regions.end());
        std::size_t chain = innermostChain(regions, open, close);
        const std::string& value = found->second;
        if (chainHolds(links, chain, name) || replacements >= maxReplacements ||
            text.size() - (close + 1 - open) + value.size() > maxLength) {
            i = open + 1;
            continue;
        }
        text.replace(open, close + 1 - open, value);
        shiftRegions(regions, open, close + 1, value.size());
        if (!value.empty()) {
            links.push_back(ChainLink{&found->first, chain});
            regions.push_back(Region{open, open + value.size(), links.size() - 1});
        }
        ++replacements;
    }
}

bool textIsTrue(const std::string& text)
{
    return !text.empty() && (text[0] == 'Y' || text[0] == 'y' || text[0] == '1');
}

std::uint32_t textToUnsigned(const std::string& text, int base)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (base == 16 && i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X'))
        i += 2;
    std::uint64_t value = 0;
    bool overflow = false;
    for (; i < text.size() && digitValue(text[i]) < base; ++i) {
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digitValue(text[i]));
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    if (overflow)
        return 0xFFFFFFFFu;
    std::uint32_t result = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

std::int32_t textToInt(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x80000000LL)
            value = 0x80000000LL;
    }
    if (negative)
        value = -value;
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, 0x7FFFFFFF));
}
