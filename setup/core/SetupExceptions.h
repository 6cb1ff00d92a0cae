// WinException and FileException: the two ways the setup engine reports a failure.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

// A Windows function or resource failed. The code is GetLastError() at construction, so the
// exception must be made right after the failing call.
struct WinException {
    explicit WinException(const char* text);

    std::uint32_t code;
    const char* text; // a literal of the program, never freed
};

enum FileErrorKind : std::int32_t {
    FileNoError = 0,
    FileNotFound = 1,
    FileCannotOpen = 2,
    FileReadError = 3,
    FileSeekError = 4,
    FileDiskFull = 5,
    FileEndOfFile = 6,
};

struct FileException {
    FileException(std::string fileName, std::int32_t kind) : fileName(std::move(fileName)), kind(kind) {}

    std::string fileName;
    std::int32_t kind;
};

const char* fileErrorText(std::int32_t kind);
