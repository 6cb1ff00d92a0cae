// SelfRemoval: taking away the running uninstaller and the folders it keeps alive.
#pragma once

#include <string>
#include <vector>

// A running program cannot delete its own file, on any Windows from 95 to XP. So a copy of
// the program in the temporary folder is started with cleanupSwitch; it waits for this
// process to end, deletes the program and the folders (innermost first, only when empty),
// and has its own file deleted at the next restart. False when the copy cannot be started.
bool startSelfRemoval(const std::string& programPath, const std::vector<std::string>& folders);

// The copy's part: argv after the switch holds the process id, the program and the folders.
int finishSelfRemoval(int argc, char** argv);

extern const char* const cleanupSwitch;
