// Window-message, timer and window numbers of the client that are not control codes.
#pragma once

#include <winsock2.h>
#include <windows.h>

namespace ClientMessage {

constexpr UINT TrayNotify = 1025;     // tray icon callback
constexpr UINT HostConnected = 1044;  // connection manager: connected to the host
constexpr UINT ConnectFailure = 1045; // connection manager: an attempt failed (once per run)
constexpr UINT HostClosed = 1046;     // connection manager: the host closed the connection

constexpr UINT_PTR DialWaitTimer = 1026;  // main window, while a connect request is pending
constexpr UINT_PTR ReconnectTimer = 1224; // connection manager's window
constexpr UINT ReconnectMs = 5000;

constexpr int SocketManagerWindowId = 123;

} // namespace ClientMessage
