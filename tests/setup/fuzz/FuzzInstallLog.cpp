// Fuzzing the install log: any sequence of entries, then the text of setup.log.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "InstallLog.h"

namespace {

const InstallLog::EntryKind kKinds[] = {InstallLog::File, InstallLog::Folder, InstallLog::SelfRegistered,
                                        InstallLog::RegistryKey, InstallLog::RunBeforeRemoval};

} // namespace

// Input: the folder up to the first NUL, then entries of one control byte and a text ended by
// NUL. The control byte picks common line or entry kind and the list type (some are invalid).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[i]);
    }
    const bool disabled = !parts[0].empty() && parts[0][0] == '!';
    InstallLog log(parts[0], "setup.log", disabled);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        if (parts[i].empty())
            continue;
        unsigned char control = static_cast<unsigned char>(parts[i][0]);
        std::string text = parts[i].substr(1);
        if (control % 7 == 6) {
            log.addCommon(text);
        } else if (control % 7 == 5) {
            log.setListType(static_cast<std::int32_t>(control >> 3) - 2);
        } else {
            log.addEntry(kKinds[control % 7], text);
        }
    }

    const std::string text = log.text();
    // The nine section headers, in their order, each a line of its own.
    std::size_t at = 0;
    for (int list = InstallLog::Common; list < InstallLog::ListCount; ++list) {
        std::string header = std::string("[") + InstallLog::listName(static_cast<InstallLog::List>(list)) + "]\r\n";
        std::size_t found = text.find(header, at);
        while (found != std::string::npos && found > 0 && text[found - 1] != '\n')
            found = text.find(header, found + 1);
        if (found == std::string::npos)
            __builtin_trap();
        at = found + header.size();
    }
    // One line for each header and each entry kept, every one ended by CR LF: an entry cannot
    // split into lines that the uninstaller would read as entries of their own.
    std::size_t lines = 0;
    for (int list = InstallLog::Common; list < InstallLog::ListCount; ++list)
        lines += 1 + log.lines(static_cast<InstallLog::List>(list)).size();
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            __builtin_trap();
        breaks += text[i] == '\n';
    }
    if (breaks != lines)
        __builtin_trap();
    // A disabled log holds nothing, not even its own path.
    if (disabled && text.find("setup.log") != std::string::npos)
        __builtin_trap();
    return 0;
}
