// One-line helpers for the controls of the wizard pages.
#pragma once

#include <windows.h>

namespace controls {

void addListItem(HWND list, const char* text);
void selectListItem(HWND list, const char* text);
// Copies the selected item into buffer (which must hold its text); false when none is selected.
bool readSelectedItem(HWND list, char* buffer);
int textLength(HWND control);
// The control's text in one process-wide buffer of 512 characters (cut to 511), which the
// next call overwrites.
const char* readText(HWND control);
void setText(HWND control, const char* text);
void show(HWND control);
void hide(HWND control);
void enable(HWND control);
void focus(HWND control);
void tick(HWND button);
void untick(HWND button);
bool isTicked(HWND button);

} // namespace controls
