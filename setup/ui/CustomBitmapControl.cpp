// CustomBitmapControl: a subclassed static that paints its own picture over the template's bitmap.
#include "CustomBitmapControl.h"

#include "CallbackFailure.h"

void CustomBitmapControl::subclass(HWND control)
{
    // A template without the control leaves nothing to subclass.
    if (control == nullptr)
        return;
    m_control = control;
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CustomBitmapControl::windowProcedure)));
}

void CustomBitmapControl::setPicture(const std::string& path)
{
    m_path = path;
    if (!m_path.empty())
        m_loaded = m_picture.load(m_path.c_str()) == S_OK;
}

void CustomBitmapControl::restore()
{
    if (m_control != nullptr) {
        SetWindowLongPtrA(m_control, GWLP_USERDATA, 0);
        SetWindowLongPtrA(m_control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        m_control = nullptr;
    }
    if (m_loaded) {
        m_picture.release();
        m_loaded = false;
    }
}

bool CustomBitmapControl::showsPicture() const
{
    if (!m_loaded || m_path.empty())
        return false;
    SIZE size = m_picture.pixelSize();
    return size.cx > 0 && size.cy > 0;
}

LRESULT CALLBACK CustomBitmapControl::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CustomBitmapControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr)
        return 0;
    try {
        if (message != WM_PAINT || !self->showsPicture())
            return CallWindowProcA(self->m_previous, window, message, wParam, lParam);
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        self->m_picture.render(dc, 0, 0);
        EndPaint(window, &paint);
        return 0;
    } catch (...) {
        callback::keepFailure();
        return 0;
    }
}
