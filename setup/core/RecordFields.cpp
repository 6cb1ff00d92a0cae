// RecordFields: splitting records at commas and reading their numbers.
#include "RecordFields.h"

#include "VariableTable.h"

RecordFields::RecordFields(const std::string& record) : m_record(record)
{
}

std::string RecordFields::next()
{
    if (m_position == std::string::npos)
        return std::string();
    std::size_t comma = m_record.find(',', m_position);
    std::string field =
        m_record.substr(m_position, comma == std::string::npos ? std::string::npos : comma - m_position);
    m_position = comma == std::string::npos ? std::string::npos : comma + 1;
    return field;
}

std::size_t RecordFields::count() const
{
    std::size_t commas = 0;
    for (char c : m_record)
        commas += c == ',' ? 1 : 0;
    return commas + 1;
}

std::vector<std::string> RecordFields::split(const std::string& record)
{
    std::vector<std::string> fields;
    RecordFields reader(record);
    while (reader.more())
        fields.push_back(reader.next());
    return fields;
}

FileRecord FileRecord::parse(const std::string& record)
{
    FileRecord file;
    RecordFields fields(record);
    if (fields.count() < 3)
        return file;
    file.valid = true;
    fields.next();
    file.entryName = fields.next();
    file.targetPath = fields.next();
    file.flags = textToInt(fields.next());
    file.rule = textToInt(fields.next());
    return file;
}

ProgramRecord ProgramRecord::parse(const std::string& record)
{
    ProgramRecord program;
    RecordFields fields(record);
    program.program = fields.next();
    if (fields.more())
        program.arguments = fields.next();
    if (fields.more())
        program.third = fields.next();
    if (fields.more())
        program.show = textToInt(fields.next());
    if (fields.more())
        program.fifth = textToInt(fields.next());
    if (fields.more())
        program.noWait = textToInt(fields.next());
    if (fields.more())
        program.seventh = fields.next();
    return program;
}

std::string ProgramRecord::commandLine() const
{
    return program + " " + arguments;
}

bool ProgramRecord::startedDirectly() const
{
    return program.find(".exe") != std::string::npos;
}

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::vector<unsigned char> binaryValueData(const std::string& text)
{
    std::vector<unsigned char> bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i == text.size())
            break;
        std::size_t end = i;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        bytes.push_back(static_cast<unsigned char>(textToUnsigned(text.substr(i, end - i), 16) & 0xFF));
        i = end;
    }
    return bytes;
}

std::uint32_t dwordValueData(const std::string& text)
{
    std::size_t i = 0;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        i = 2;
    std::uint64_t value = 0;
    for (; i < text.size() && hexDigit(text[i]) >= 0; ++i) {
        value = value * 16 + static_cast<unsigned>(hexDigit(text[i]));
        if (value > 0xFFFFFFFFu)
            return 0xFFFFFFFFu;
    }
    return static_cast<std::uint32_t>(value);
}
