// LineScript: the simulator's phone book and each entry's line behaviour, read from rassim.txt.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// How one phone-book entry's line answers a dial. The defaults give a line that connects.
struct EntryScript {
    std::string name;
    uint32_t dialMs = 300;
    std::vector<uint32_t> progress{0, 1, 2, 3, 4, 5, 14};
    uint32_t result = 0;
    bool hasFailState = false;
    uint32_t failState = 0;
    uint32_t immediateError = 0;
    bool immediateHandle = false;
    uint32_t dropAfterMs = 0;
    uint32_t dropError = 0;
    bool dropNotify = true;
    uint32_t hangupError = 0;
    uint32_t statusError = 0;
    bool checkUser = false;
    std::string user;
    bool checkPassword = false;
    std::string password;

    // The state a failed dial reports: fail_state, else the last progress state, else 0.
    uint32_t FailState() const;
    // The error the dial ends with for these credentials: 691 for refused ones, else result.
    uint32_t OutcomeFor(const std::string& dialUser, const std::string& dialPassword) const;
};

struct ScriptProblem {
    unsigned line;
    std::string text;
};

class LineScript {
public:
    static LineScript Parse(const std::string& text);

    const std::vector<EntryScript>& Entries() const { return m_entries; }
    const std::vector<ScriptProblem>& Problems() const { return m_problems; }
    uint32_t EnumError() const { return m_enumError; }

    // Entry names compare without regard to case, as in the system's phone book.
    const EntryScript* Find(const std::string& name) const;

    // The script's text for a code, else the built-in one; false for a code without text.
    bool ErrorText(uint32_t code, std::string& text) const;

private:
    void ParseLine(unsigned number, const std::string& line);
    void ParseEntry(unsigned number, const std::string& line, size_t pos);
    // Empty when the option was applied, else what is wrong with it.
    static std::string ApplyOption(EntryScript& entry, const std::string& key, const std::string& value);
    void Problem(unsigned number, const std::string& text);

    std::vector<EntryScript> m_entries;
    struct CodeText {
        bool hasText;
        std::string text;
    };
    std::map<uint32_t, CodeText> m_texts;
    std::vector<ScriptProblem> m_problems;
    uint32_t m_enumError = 0;
};

// The simulator's own texts for a few common dial-up error codes; nullptr for others.
const char* BuiltInErrorText(uint32_t code);
