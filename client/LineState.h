// LineState: the client's view of the shared line, what each host code does to it, the
// tray picture and tooltip of each state and the tray menu's rules. Free of windows.h.
#pragma once

#include <cstdint>

enum LineState : int32_t {
    NoHost = 0,
    OffLine = 1,
    OnLine = 2,
    PhoneInUse = 3,
    Connected = 4,
};

// Tray pictures, by their icon resource numbers.
namespace TrayPicture {
constexpr int None = 0;
constexpr int PhoneInUse = 132;
constexpr int Connected = 134;
constexpr int OnLine = 135;
constexpr int OffLine = 136;
constexpr int NoHost = 137;
} // namespace TrayPicture

const char* const kStartTooltip = "Telvane Remote Control";
const char* const kNoHostTooltip = "Cannot locate server";

// What a host code of the line table does on arrival. Ping and VoiceLineRequest have
// handlers of their own and are not in the table.
struct HostCodeReaction {
    int32_t code;
    const char* logText; // logged as Received
    bool stopsDialWait;
    int picture; // TrayPicture::None: the tray stays as it is
    const char* tooltip;
    bool changesState;
    LineState newState;
};

// The reaction to code, or nullptr for a code without one.
const HostCodeReaction* ReactionTo(int32_t code);

// Menu state when the tray menu opens in a state. phoneText is the text the phone item
// gets, or nullptr when it keeps the one it has.
struct TrayMenuState {
    bool connect;
    bool disconnect;
    bool phone;
    const char* phoneText;
};

TrayMenuState MenuStateFor(LineState state);

const char* LineStateName(LineState state);
