// DialWait: the wait for the host's answer to a connect request: 500-ms ticks, a time-out
// on the 301st, and the tray animation's next picture. Free of windows.h.
#pragma once

#include "LineState.h"

class DialWait {
public:
    static constexpr int kMaxTicks = 300;
    static constexpr unsigned kTickMs = 500;

    void Start() { m_ticks = 0; }

    // Counts one tick. True on the tick that ends the wait; the count then starts again.
    bool Tick()
    {
        if (++m_ticks > kMaxTicks) {
            m_ticks = 0;
            return true;
        }
        return false;
    }

    int Ticks() const { return m_ticks; }

    // The animation's picture after current: off-line (or no host), on-line, connected,
    // off-line again. TrayPicture::None for a picture outside the cycle.
    static int NextPicture(int current)
    {
        switch (current) {
        case TrayPicture::OffLine:
        case TrayPicture::NoHost:
            return TrayPicture::OnLine;
        case TrayPicture::OnLine:
            return TrayPicture::Connected;
        case TrayPicture::Connected:
            return TrayPicture::OffLine;
        default:
            return TrayPicture::None;
        }
    }

private:
    int m_ticks = 0;
};
