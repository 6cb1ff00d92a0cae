// Restarting the PC on a client's request.
#pragma once

// Asks the system to restart, closing applications by force. On Windows NT the caller's
// shutdown privilege is switched on first, since a restart is refused without it.
// Returns false when the system refused.
bool RestartSystem();
