// SetupScript: read-only reader of Setup.ini and the language files.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

// The whole file is kept as read; every lookup scans it again. Lines end with CR LF only, a
// section is the first "[name]" anywhere in the text, keys match byte for byte, and there are
// no comments: this is the format package authors have always written for the engine.
class SetupScript {
public:
    // Reads folder\fileName; throws FileException (fileName, kind 2) when it cannot be opened.
    SetupScript(const std::string& folder, const std::string& fileName);

    static SetupScript fromText(std::string text);

    const std::string& text() const { return m_text; }

    std::size_t lineCount(const std::string& section) const;
    bool getLine(const std::string& section, std::size_t n, std::string& line) const;
    std::string getString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    bool getBool(const std::string& section, const std::string& key, bool defaultValue) const;

private:
    explicit SetupScript(std::string text) : m_text(std::move(text)) {}

    // Calls visit(begin, end) for each line of the section until it returns true.
    template <typename Visit>
    void forEachLine(const std::string& section, Visit visit) const;

    std::string m_text;
};

// folder, a backslash unless folder is empty or already ends in one, and name.
std::string joinPath(const std::string& folder, const std::string& name);
