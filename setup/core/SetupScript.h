// SetupScript: read-only reader of Setup.ini and the language files.
#pragma once

#include <atomic>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The whole file is kept as read. Lines end with CR LF only, a section is the first "[name]"
// anywhere in the text, keys match byte for byte, and there are no comments: this is the
// format package authors have always written for the engine. The text never changes, so the
// lines of a section are found once, at its first lookup, and remembered: an installation
// asks for every record of a long list by its index.
class SetupScript {
public:
    // Reads folder\fileName; throws FileException (fileName, kind 2) when it cannot be opened.
    SetupScript(const std::string& folder, const std::string& fileName);

    static SetupScript fromText(std::string text);

    SetupScript(const SetupScript&) = default;
    SetupScript& operator=(const SetupScript&) = default;
    // The text moves away with its index; the script left behind is empty, with an empty index.
    SetupScript(SetupScript&& other);
    SetupScript& operator=(SetupScript&& other);

    const std::string& text() const { return m_text; }

    std::size_t lineCount(const std::string& section) const;
    bool getLine(const std::string& section, std::size_t n, std::string& line) const;
    std::string getString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    bool getBool(const std::string& section, const std::string& key, bool defaultValue) const;

private:
    explicit SetupScript(std::string text) : m_text(std::move(text)) {}

    // Offsets of the section's lines in the text: [begin, end) of each, CR LF excluded.
    using Lines = std::vector<std::pair<std::size_t, std::size_t>>;

    // Calls visit(begin, end) for each line of the section until it returns true.
    template <typename Visit>
    void forEachLine(const std::string& section, Visit visit) const;
    Lines scanSection(const std::string& section) const;
    const Lines& sectionLines(const std::string& section) const;

    // Sections found so far. Copies of a script share it, as they share the same text; the
    // install thread and the wizard may both read, so it has a lock of its own.
    struct SectionIndex {
        std::atomic_flag busy = ATOMIC_FLAG_INIT;
        std::map<std::string, Lines> sections;
    };

    std::string m_text;
    std::shared_ptr<SectionIndex> m_index = std::make_shared<SectionIndex>();
};

// folder, a backslash unless folder is empty or already ends in one, and name.
std::string joinPath(const std::string& folder, const std::string& name);
