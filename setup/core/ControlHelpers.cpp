// One-line helpers for the controls of the wizard pages.
#include "ControlHelpers.h"

namespace controls {

namespace {

char textBuffer[512];

} // namespace

void addListItem(HWND list, const char* text)
{
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void selectListItem(HWND list, const char* text)
{
    SendMessageA(list, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
}

bool readSelectedItem(HWND list, char* buffer)
{
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return false;
    return SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)) != LB_ERR;
}

int textLength(HWND control)
{
    return static_cast<int>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0));
}

const char* readText(HWND control)
{
    textBuffer[0] = '\0';
    SendMessageA(control, WM_GETTEXT, sizeof textBuffer, reinterpret_cast<LPARAM>(textBuffer));
    textBuffer[sizeof textBuffer - 1] = '\0';
    return textBuffer;
}

void setText(HWND control, const char* text)
{
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void show(HWND control)
{
    ShowWindow(control, SW_SHOW);
}

void hide(HWND control)
{
    ShowWindow(control, SW_HIDE);
}

void enable(HWND control)
{
    EnableWindow(control, TRUE);
}

void focus(HWND control)
{
    SetFocus(control);
}

void tick(HWND button)
{
    SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
}

void untick(HWND button)
{
    SendMessageA(button, BM_SETCHECK, BST_UNCHECKED, 0);
}

bool isTicked(HWND button)
{
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

} // namespace controls
