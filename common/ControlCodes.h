// The control protocol's message codes, shared by TelvaneHost and TelvaneClient.
// A code travels as one unit of four bytes, little-endian; the same number is the
// window message that the receiving main window handles it with.
#pragma once

#include <cstdint>

namespace ControlCode {

// Client to host.
constexpr int32_t ConnectRequest = 1126;
constexpr int32_t DisconnectRequest = 1127;
constexpr int32_t PhoneToggle = 1128;
constexpr int32_t Ping = 1129; // both directions
constexpr int32_t RebootRequest = 1130;
constexpr int32_t VoiceLineRequest = 1232; // both directions

// Host to client.
constexpr int32_t DialupEstablished = 1225;
constexpr int32_t LineOffLine = 1226;
constexpr int32_t LineOnLine = 1227;
constexpr int32_t LinePhoneInUse = 1228;
constexpr int32_t ConnectFailed = 1229;
constexpr int32_t HangUpFailed = 1230;

// The codes a host acts on. Anything else a client sends, the programs' internal
// notification numbers and the window system's own messages included, is discarded.
constexpr bool IsClientToHost(int32_t code)
{
    return code == ConnectRequest || code == DisconnectRequest || code == PhoneToggle || code == Ping ||
           code == RebootRequest || code == VoiceLineRequest;
}

// The codes a client acts on.
constexpr bool IsHostToClient(int32_t code)
{
    return code == Ping || code == DialupEstablished || code == LineOffLine || code == LineOnLine ||
           code == LinePhoneInUse || code == ConnectFailed || code == HangUpFailed || code == VoiceLineRequest;
}

} // namespace ControlCode
