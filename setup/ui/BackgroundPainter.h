// BackgroundPainter: fill, gradient and the three text lines of the setup window's background.
#pragma once

#include <windows.h>

class SetupContext;

class BackgroundPainter {
public:
    explicit BackgroundPainter(SetupContext& context) : m_context(context) {}
    void paint(HDC dc, int width, int height);

private:
    SetupContext& m_context;
};
