// Fuzzing the record field reader and the records built on it: any bytes as one record.
#include <cstddef>
#include <cstdint>
#include <string>

#include "RecordFields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string record(reinterpret_cast<const char*>(data), size);

    // Reading field by field gives what split gives, and stops after count() fields.
    RecordFields fields(record);
    const std::size_t count = fields.count();
    const auto all = RecordFields::split(record);
    if (all.size() != count)
        __builtin_trap();
    std::size_t read = 0;
    std::size_t length = 0;
    while (fields.more()) {
        std::string field = fields.next();
        if (read >= count || field != all[read])
            __builtin_trap();
        length += field.size();
        ++read;
    }
    if (read != count || length + count - 1 != record.size())
        __builtin_trap();
    if (!fields.next().empty())
        __builtin_trap();

    FileRecord file = FileRecord::parse(record);
    if (file.valid && count < 3)
        __builtin_trap();
    ProgramRecord program = ProgramRecord::parse(record);
    program.commandLine();
    program.startedDirectly();
    if (binaryValueData(record).size() > record.size())
        __builtin_trap();
    dwordValueData(record);
    return 0;
}
