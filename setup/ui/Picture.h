// Picture: one OLE picture loaded from a file, or none.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

class Picture {
public:
    Picture() = default;
    ~Picture() { release(); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // S_OK when the file held a picture the platform's loader reads; the system error of a
    // file that cannot be opened or read otherwise.
    HRESULT load(const char* path);
    void release();
    bool loaded() const { return m_picture != nullptr; }

    // Pixels of a screen-compatible DC; 0 x 0 without a picture.
    SIZE pixelSize() const;
    // Draws the picture upright at its natural size with its top-left corner at (x, y).
    void render(HDC dc, int x, int y) const;

private:
    IPicture* m_picture = nullptr;
};
