// SplashWindow: the picture shown, centred, for the first two seconds of a run.
#pragma once

#include "Picture.h"
#include "WindowBase.h"

class SplashWindow : public WindowBase {
public:
    // False when the picture cannot be loaded or the window cannot be made.
    bool create(HWND owner, const char* path);
    void onPaint() override;

private:
    Picture m_picture;
    bool m_loaded = false;
};
