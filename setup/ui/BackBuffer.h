// BackBuffer: the rendered background of the setup window, copied on every paint.
#pragma once

#include <windows.h>

class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer() { replace(nullptr); }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    void replace(HBITMAP bitmap)
    {
        if (m_bitmap != nullptr)
            DeleteObject(m_bitmap);
        m_bitmap = bitmap;
    }
    HBITMAP get() const { return m_bitmap; }

    int width = 0;
    int height = 0;

private:
    HBITMAP m_bitmap = nullptr;
};
