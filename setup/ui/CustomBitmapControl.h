// CustomBitmapControl: the pages' picture control, showing the script's picture when it loads.
#pragma once

#include <windows.h>

#include <string>

#include "Picture.h"

class CustomBitmapControl {
public:
    CustomBitmapControl() = default;
    ~CustomBitmapControl() { restore(); }
    CustomBitmapControl(const CustomBitmapControl&) = delete;
    CustomBitmapControl& operator=(const CustomBitmapControl&) = delete;

    void subclass(HWND control);
    void setPicture(const std::string& path);
    void restore();

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool showsPicture() const;

    HWND m_control = nullptr;
    Picture m_picture;
    bool m_loaded = false;
    WNDPROC m_previous = nullptr;
    std::string m_path;
};
