// RecordFields: the comma-separated fields of a script record, and the records built from them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Fields run from comma to comma with no quoting, escaping or trimming; a field asked for
// after the last one is empty.
class RecordFields {
public:
    explicit RecordFields(const std::string& record);

    // The next field, empty once every field has been read.
    std::string next();
    // True while a field is left to read.
    bool more() const { return m_position != std::string::npos; }
    // The number of commas plus one.
    std::size_t count() const;

    static std::vector<std::string> split(const std::string& record);

private:
    std::string m_record;
    std::size_t m_position = 0;
};

// A record of one of the three file lists; valid only with at least three fields.
struct FileRecord {
    static FileRecord parse(const std::string& record);

    enum Flag : std::int32_t { SelfRegister = 2, CountShared = 4, NotLogged = 8 };

    bool valid = false;
    std::string entryName;
    std::string targetPath;
    std::int32_t flags = 0;
    std::int32_t rule = 0;
};

// A program to run before or after the installation (the RUNAPPS settings).
struct ProgramRecord {
    static ProgramRecord parse(const std::string& record);

    // The program, one blank and the arguments; the blank is there even without arguments.
    std::string commandLine() const;
    // Programs named with a lower-case ".exe" are started directly, everything else by the shell.
    bool startedDirectly() const;

    std::string program;
    std::string arguments;
    std::string third;
    std::int32_t show = 0;
    std::int32_t fifth = 0;
    std::int32_t noWait = 0;
    std::string seventh;
};

// The data of a registry value record: type letter b, split at white space, one byte per
// hexadecimal token (its lowest 8 bits).
std::vector<unsigned char> binaryValueData(const std::string& text);
// Type letter d: one hexadecimal number, optional 0x, FFFFFFFF beyond 32 bits.
std::uint32_t dwordValueData(const std::string& text);
