// LineState: the host codes' table and the tray menu's rules.
#include "LineState.h"

#include "ControlCodes.h"

namespace {

const HostCodeReaction kReactions[] = {
    {ControlCode::DialupEstablished, "Successfully established dial-up connection", true, TrayPicture::Connected,
     "Connected", true, Connected},
    {ControlCode::LineOffLine, "The proxy is disconnected", true, TrayPicture::OffLine, "Off-line", true, OffLine},
    {ControlCode::LineOnLine, "Proxy is on-line", true, TrayPicture::OnLine, "On-line", true, OnLine},
    {ControlCode::LinePhoneInUse, "The telephone line is in use for voice traffic", true, TrayPicture::PhoneInUse,
     "Phone in use", true, PhoneInUse},
    // The request failed but the line keeps the state the host last reported.
    {ControlCode::ConnectFailed, "Failed to establish a dial-up connection", true, TrayPicture::OffLine, "Off-line",
     false, NoHost},
    {ControlCode::HangUpFailed, "Failed to disconnect dial-up connection", false, TrayPicture::None, nullptr, false,
     NoHost},
};

} // namespace

const HostCodeReaction* ReactionTo(int32_t code)
{
    for (const HostCodeReaction& reaction : kReactions)
        if (reaction.code == code)
            return &reaction;
    return nullptr;
}

TrayMenuState MenuStateFor(LineState state)
{
    TrayMenuState menu;
    menu.connect = state == OffLine || state == OnLine;
    menu.disconnect = state == Connected;
    menu.phone = state == OffLine || state == PhoneInUse;
    menu.phoneText = state == PhoneInUse ? "Off The Phone" : state == OffLine ? "On The Phone" : nullptr;
    return menu;
}

const char* LineStateName(LineState state)
{
    switch (state) {
    case NoHost:
        return "NoHost";
    case OffLine:
        return "OffLine";
    case OnLine:
        return "OnLine";
    case PhoneInUse:
        return "PhoneInUse";
    case Connected:
        return "Connected";
    }
    return "?";
}
