// The client's windows.h-free logic: host-code reactions, menu rules, dial wait, error texts.
#include <gtest/gtest.h>

#include <string>

#include "ConnectError.h"
#include "ControlCodes.h"
#include "DialWait.h"
#include "LineState.h"

namespace {

struct ReactionCase {
    int32_t code;
    const char* log;
    bool stops;
    int picture;
    const char* tooltip;
    bool changes;
    LineState state;
};

TEST(HostCodeReaction, EachLineCodeHasItsTextPictureTooltipAndState)
{
    const ReactionCase cases[] = {
        {ControlCode::DialupEstablished, "Successfully established dial-up connection", true, 134, "Connected", true,
         Connected},
        {ControlCode::LineOffLine, "The proxy is disconnected", true, 136, "Off-line", true, OffLine},
        {ControlCode::LineOnLine, "Proxy is on-line", true, 135, "On-line", true, OnLine},
        {ControlCode::LinePhoneInUse, "The telephone line is in use for voice traffic", true, 132, "Phone in use", true,
         PhoneInUse},
        {ControlCode::ConnectFailed, "Failed to establish a dial-up connection", true, 136, "Off-line", false, NoHost},
        {ControlCode::HangUpFailed, "Failed to disconnect dial-up connection", false, TrayPicture::None, nullptr, false,
         NoHost},
    };
    for (const ReactionCase& c : cases) {
        SCOPED_TRACE(c.code);
        const HostCodeReaction* r = ReactionTo(c.code);
        ASSERT_NE(r, nullptr);
        EXPECT_STREQ(r->logText, c.log);
        EXPECT_EQ(r->stopsDialWait, c.stops);
        EXPECT_EQ(r->picture, c.picture);
        if (c.tooltip) {
            EXPECT_STREQ(r->tooltip, c.tooltip);
        }
        EXPECT_EQ(r->changesState, c.changes);
        if (c.changes) {
            EXPECT_EQ(r->newState, c.state);
        }
    }
}

TEST(HostCodeReaction, CodesOutsideTheTableHaveNone)
{
    for (int32_t code : {ControlCode::Ping, ControlCode::VoiceLineRequest, ControlCode::ConnectRequest, 0, 2, 1044,
                         1045, 1046, 1224, 1231, -1})
        EXPECT_EQ(ReactionTo(code), nullptr) << code;
}

TEST(TrayMenu, EnablingAndPhoneTextFollowTheLineState)
{
    struct Case {
        LineState state;
        bool connect, disconnect, phone;
        const char* text;
    } cases[] = {
        {NoHost, false, false, false, nullptr},   {OffLine, true, false, true, "On The Phone"},
        {OnLine, true, false, false, nullptr},    {PhoneInUse, false, false, true, "Off The Phone"},
        {Connected, false, true, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(LineStateName(c.state));
        TrayMenuState m = MenuStateFor(c.state);
        EXPECT_EQ(m.connect, c.connect);
        EXPECT_EQ(m.disconnect, c.disconnect);
        EXPECT_EQ(m.phone, c.phone);
        if (c.text) {
            EXPECT_STREQ(m.phoneText, c.text);
        } else {
            EXPECT_EQ(m.phoneText, nullptr);
        }
    }
}

TEST(DialWait, TimesOutOnThe301stTickAndStartsAgain)
{
    DialWait wait;
    wait.Start();
    for (int tick = 1; tick <= 300; ++tick) {
        ASSERT_FALSE(wait.Tick()) << tick;
        ASSERT_EQ(wait.Ticks(), tick);
    }
    EXPECT_TRUE(wait.Tick());
    EXPECT_EQ(wait.Ticks(), 0);
    // A second wait without Start counts a full 301 ticks again.
    int ticks = 0;
    while (!wait.Tick() && ticks < 1000)
        ++ticks;
    EXPECT_EQ(ticks + 1, 301);
}

TEST(DialWait, StartDuringAWaitRestartsTheCount)
{
    DialWait wait;
    wait.Start();
    for (int i = 0; i < 250; ++i)
        wait.Tick();
    wait.Start();
    for (int i = 0; i < 300; ++i)
        ASSERT_FALSE(wait.Tick()) << i;
    EXPECT_TRUE(wait.Tick());
    EXPECT_EQ(DialWait::kTickMs * 301, 150500u);
}

TEST(DialWait, AnimationCyclesOffLineOnLineConnected)
{
    EXPECT_EQ(DialWait::NextPicture(TrayPicture::OffLine), TrayPicture::OnLine);
    EXPECT_EQ(DialWait::NextPicture(TrayPicture::NoHost), TrayPicture::OnLine);
    EXPECT_EQ(DialWait::NextPicture(TrayPicture::OnLine), TrayPicture::Connected);
    EXPECT_EQ(DialWait::NextPicture(TrayPicture::Connected), TrayPicture::OffLine);
    int picture = TrayPicture::OffLine;
    std::string seen;
    for (int i = 0; i < 6; ++i) {
        picture = DialWait::NextPicture(picture);
        seen += std::to_string(picture) + " ";
    }
    EXPECT_EQ(seen, "135 134 136 135 134 136 ");
}

TEST(DialWait, APictureOutsideTheCycleHasNoNextOne)
{
    // The client shows "No Icon" for these: the phone picture, no icon at all, anything else.
    for (int picture : {TrayPicture::PhoneInUse, TrayPicture::None, 133, 128, -1})
        EXPECT_EQ(DialWait::NextPicture(picture), TrayPicture::None) << picture;
}

TEST(ConnectError, KnownCodesHaveTheirTexts)
{
    EXPECT_STREQ(ConnectErrorText(10061), "Unable to locate proxy server");
    EXPECT_STREQ(ConnectErrorText(10048), "The specified address/port is in use");
    EXPECT_STREQ(ConnectErrorText(10064), "The host is down");
    EXPECT_STREQ(ConnectErrorText(10060), "Time out while locating proxy server");
    for (int code : {0, 10022, 10065, 10051, 11001})
        EXPECT_EQ(ConnectErrorText(code), nullptr) << code;
    EXPECT_STREQ(kUnknownErrorText, "Unkown Error Occurred");
}

} // namespace
