// VariableTable: every setting, text and folder of a setup run as a named text.
#pragma once

#include <cstdint>
#include <map>
#include <string>

class VariableTable {
public:
    void set(const std::string& name, const std::string& value);
    // Reading a name that is not there creates it empty, so that from then on a %name%
    // reference to it expands to nothing instead of staying as written.
    std::string get(const std::string& name, bool expand);
    bool exists(const std::string& name) const;
    std::size_t size() const { return m_values.size(); }

    // Replaces %name% references of existing variables in place, also inside inserted values.
    void expand(std::string& text) const;

private:
    // owner: the variable whose value the text is, so that its own name is not inserted again.
    void expand(std::string& text, const std::string* owner) const;

    std::map<std::string, std::string> m_values;
};

// The variable truth rule: first character "Y", "y" or "1".
bool textIsTrue(const std::string& text);

// Unsigned 32-bit reading in base 10 or 16: leading white space, optional sign (minus negates
// modulo 2^32), 0x prefix in base 16, digits up to the first non-digit; too large gives
// 0xFFFFFFFF; no digits give 0.
std::uint32_t textToUnsigned(const std::string& text, int base);

// Signed decimal reading: optional sign, digits up to the first non-digit, no digits give 0;
// values beyond 32 bits are held at the nearest limit.
std::int32_t textToInt(const std::string& text);
