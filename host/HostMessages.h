// Window-message numbers of the host's main window that are not control codes.
#pragma once

#include <winsock2.h>
#include <windows.h>

namespace HostMessage {

constexpr UINT TrayNotify = 1025;         // tray icon callback
constexpr UINT DialConnected = 1047;      // dial-up controller: the line is up
constexpr UINT DialDisconnected = 1048;   // dial-up controller: the line went down
constexpr UINT DialProgress = 1049;       // dial-up controller: another dial state
constexpr UINT DialError = 1050;          // dial-up controller: the dial failed
constexpr UINT ConnectionAccepted = 1231; // control server: a client connected (not handled)
// Control server: a closed connection is about to be deleted (after its disconnect request),
// so nothing may keep pointing at it.
constexpr UINT ConnectionGone = WM_APP + 1;

} // namespace HostMessage
