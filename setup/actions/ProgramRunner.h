// ProgramRunner: self-registration of libraries, programs run around the installation, disk space.
#pragma once

#include <cstdint>
#include <string>

#include "RecordFields.h"

// Loads the library and calls its DllRegisterServer; false when it is no module or has none.
bool selfRegister(const std::string& path);
// Starts the program (CreateProcess for a lower-case ".exe", the shell otherwise) and waits
// for it unless its no-wait field says not to. Failures are not reported.
void runProgram(const ProgramRecord& program);
// Free KB available to the caller on the drive of path; 0 when it cannot be told.
std::uint32_t freeDiskSpaceKB(const std::string& path);
