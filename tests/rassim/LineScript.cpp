// LineScript: parsing of the line script and the built-in error texts.
#include "LineScript.h"

#include <cctype>

namespace {

constexpr uint32_t kAuthenticationFailure = 691;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

size_t SkipBlanks(const std::string& line, size_t pos)
{
    while (pos < line.size() && IsBlank(line[pos]))
        ++pos;
    return pos;
}

std::string Trim(const std::string& text)
{
    size_t first = SkipBlanks(text, 0);
    size_t last = text.size();
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// A token ends at a blank outside quotes. Inside quotes only \" and \\ are escapes, so
// Windows paths keep their backslashes.
enum class Token { None, Ok, Unterminated };

Token NextToken(const std::string& line, size_t& pos, std::string& token)
{
    token.clear();
    pos = SkipBlanks(line, pos);
    if (pos >= line.size())
        return Token::None;
    bool quoted = false;
    for (; pos < line.size(); ++pos) {
        char c = line[pos];
        if (quoted) {
            if (c == '"')
                quoted = false;
            else if (c == '\\' && pos + 1 < line.size() && (line[pos + 1] == '"' || line[pos + 1] == '\\'))
                token += line[++pos];
            else
                token += c;
        } else if (c == '"') {
            quoted = true;
        } else if (IsBlank(c)) {
            break;
        } else {
            token += c;
        }
    }
    return quoted ? Token::Unterminated : Token::Ok;
}

bool ParseNumber(const std::string& text, uint32_t& value)
{
    size_t pos = 0;
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        pos = 2;
    }
    if (pos >= text.size())
        return false;
    uint64_t number = 0;
    for (; pos < text.size(); ++pos) {
        unsigned char c = static_cast<unsigned char>(text[pos]);
        unsigned digit;
        if (std::isdigit(c))
            digit = c - '0';
        else if (base == 16 && std::isxdigit(c))
            digit = std::tolower(c) - 'a' + 10;
        else
            return false;
        number = number * base + digit;
        if (number > 0xFFFFFFFFu)
            return false;
    }
    value = static_cast<uint32_t>(number);
    return true;
}

bool ParseFlag(const std::string& text, bool& value)
{
    if (text != "0" && text != "1")
        return false;
    value = text == "1";
    return true;
}

bool ParseList(const std::string& text, std::vector<uint32_t>& values)
{
    std::vector<uint32_t> parsed;
    size_t start = 0;
    while (start < text.size()) {
        size_t comma = text.find(',', start);
        size_t end = comma == std::string::npos ? text.size() : comma;
        uint32_t value;
        if (!ParseNumber(text.substr(start, end - start), value))
            return false;
        parsed.push_back(value);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
        if (start == text.size())
            return false;
    }
    values = parsed;
    return true;
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

uint32_t EntryScript::FailState() const
{
    if (hasFailState)
        return failState;
    return progress.empty() ? 0 : progress.back();
}

uint32_t EntryScript::OutcomeFor(const std::string& dialUser, const std::string& dialPassword) const
{
    if ((checkUser && dialUser != user) || (checkPassword && dialPassword != password))
        return kAuthenticationFailure;
    return result;
}

LineScript LineScript::Parse(const std::string& text)
{
    LineScript script;
    unsigned number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        script.ParseLine(++number, line);
        start = end + 1;
    }
    return script;
}

const EntryScript* LineScript::Find(const std::string& name) const
{
    for (const EntryScript& entry : m_entries) {
        if (SameName(entry.name, name))
            return &entry;
    }
    return nullptr;
}

bool LineScript::ErrorText(uint32_t code, std::string& text) const
{
    auto own = m_texts.find(code);
    if (own != m_texts.end()) {
        if (!own->second.hasText)
            return false;
        text = own->second.text;
        return true;
    }
    const char* builtIn = BuiltInErrorText(code);
    if (builtIn == nullptr)
        return false;
    text = builtIn;
    return true;
}

void LineScript::ParseLine(unsigned number, const std::string& line)
{
    size_t pos = SkipBlanks(line, 0);
    if (pos >= line.size() || line[pos] == '#')
        return;
    std::string directive;
    NextToken(line, pos, directive);
    if (directive == "entry") {
        ParseEntry(number, line, pos);
        return;
    }
    if (directive != "errortext" && directive != "notext" && directive != "enumerror") {
        Problem(number, "unknown directive " + directive);
        return;
    }
    std::string codeText;
    uint32_t code;
    if (NextToken(line, pos, codeText) != Token::Ok || !ParseNumber(codeText, code)) {
        Problem(number, directive + " needs an error code");
        return;
    }
    // The text is the rest of the line as written, inner blanks included.
    std::string rest = Trim(line.substr(pos));
    if (directive == "errortext") {
        m_texts[code] = CodeText{true, rest};
        return;
    }
    if (!rest.empty()) {
        Problem(number, "unexpected text after " + directive + " " + codeText);
        return;
    }
    if (directive == "notext")
        m_texts[code] = CodeText{false, std::string()};
    else
        m_enumError = code;
}

void LineScript::ParseEntry(unsigned number, const std::string& line, size_t pos)
{
    EntryScript entry;
    Token read = NextToken(line, pos, entry.name);
    if (read == Token::Unterminated || entry.name.empty()) {
        Problem(number, "an entry needs a name");
        return;
    }
    std::string option;
    while ((read = NextToken(line, pos, option)) != Token::None) {
        if (read == Token::Unterminated) {
            Problem(number, "unterminated quote in " + option);
            return;
        }
        size_t equals = option.find('=');
        if (equals == std::string::npos) {
            Problem(number, "option without a value: " + option);
            continue;
        }
        std::string wrong = ApplyOption(entry, option.substr(0, equals), option.substr(equals + 1));
        if (!wrong.empty())
            Problem(number, wrong);
    }
    if (Find(entry.name) != nullptr) {
        Problem(number, "entry " + entry.name + " is listed twice; the first one counts");
        return;
    }
    m_entries.push_back(entry);
}

std::string LineScript::ApplyOption(EntryScript& entry, const std::string& key, const std::string& value)
{
    struct NumberOption {
        const char* key;
        uint32_t EntryScript::*field;
    };
    static const NumberOption numbers[] = {
        {"dial_ms", &EntryScript::dialMs},
        {"result", &EntryScript::result},
        {"immediate_error", &EntryScript::immediateError},
        {"drop_after_ms", &EntryScript::dropAfterMs},
        {"drop_error", &EntryScript::dropError},
        {"hangup_error", &EntryScript::hangupError},
        {"status_error", &EntryScript::statusError},
    };
    for (const NumberOption& option : numbers) {
        if (key == option.key)
            return ParseNumber(value, entry.*option.field) ? std::string() : key + " needs a number: " + value;
    }
    if (key == "fail_state") {
        entry.hasFailState = ParseNumber(value, entry.failState);
        return entry.hasFailState ? std::string() : key + " needs a number: " + value;
    }
    if (key == "immediate_handle" || key == "drop_notify") {
        bool& flag = key == "drop_notify" ? entry.dropNotify : entry.immediateHandle;
        return ParseFlag(value, flag) ? std::string() : key + " needs 0 or 1: " + value;
    }
    if (key == "progress")
        return ParseList(value, entry.progress) ? std::string() : key + " needs numbers separated by commas: " + value;
    if (key == "user") {
        entry.checkUser = true;
        entry.user = value;
        return std::string();
    }
    if (key == "password") {
        entry.checkPassword = true;
        entry.password = value;
        return std::string();
    }
    return "unknown option " + key;
}

void LineScript::Problem(unsigned number, const std::string& text)
{
    m_problems.push_back(ScriptProblem{number, text});
}

const char* BuiltInErrorText(uint32_t code)
{
    struct CodeText {
        uint32_t code;
        const char* text;
    };
    static const CodeText texts[] = {
        {602, "The port is already in use."},
        {603, "The buffer given is too small."},
        {608, "The modem does not exist."},
        {619, "The port has been disconnected."},
        {623, "There is no such entry in the phone book."},
        {629, "The remote computer ended the connection."},
        {631, "The connection was ended by the user."},
        {632, "The record size given is wrong."},
        {638, "The remote computer did not answer in time."},
        {676, "The line is busy."},
        {678, "Nobody answered the call."},
        {680, "There is no dial tone."},
        {691, "The user name or the password was refused."},
        {718, "The connection setup took too long and was given up."},
    };
    for (const CodeText& entry : texts) {
        if (entry.code == code)
            return entry.text;
    }
    return nullptr;
}
