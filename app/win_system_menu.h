// The window's native system menu and the taskbar, on Windows. The window arrives as a plain
// handle value, so <windows.h> stays inside win_system_menu.cpp and none of its macros
// (ReplaceText, min, max, ...) reach the rest of the program.
#pragma once

#include <cstdint>

namespace orvix::win {

// Appends a separator and the item `caption` with command `id` to the system menu of the
// window `window` (its HWND as an integer). False when the window has no system menu or an
// item could not be added.
bool AppendSystemMenuItem(std::uintptr_t window, int id, const wchar_t* caption);

// Whether the native message `message` (an MSG) is a system-menu command `id`.
bool IsSystemCommand(const void* message, int id);

// Shows the desktop's taskbar again, in case a full-screen window had it covered or hidden.
void ShowTaskbar();

}  // namespace orvix::win
