// The texts of failed connection attempts, by Windows Sockets error code. Free of windows.h.
#pragma once

const char* const kUnknownErrorText = "Unkown Error Occurred";

// The text for error, or nullptr for a code without one (the last text then stays).
inline const char* ConnectErrorText(int error)
{
    switch (error) {
    case 10061: // WSAECONNREFUSED
        return "Unable to locate proxy server";
    case 10048: // WSAEADDRINUSE
        return "The specified address/port is in use";
    case 10064: // WSAEHOSTDOWN
        return "The host is down";
    case 10060: // WSAETIMEDOUT
        return "Time out while locating proxy server";
    default:
        return nullptr;
    }
}
