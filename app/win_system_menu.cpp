#include "win_system_menu.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace orvix::win {

bool AppendSystemMenuItem(std::uintptr_t window, int id, const wchar_t* caption) {
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window), FALSE);
    if (!menu) return false;
    return AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) &&
           AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), caption);
}

bool IsSystemCommand(const void* message, int id) {
    const auto* msg = static_cast<const MSG*>(message);
    return msg->message == WM_SYSCOMMAND && msg->wParam == static_cast<WPARAM>(id);
}

void ShowTaskbar() {
    if (HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr)) ShowWindow(tray, SW_SHOWNORMAL);
}

}  // namespace orvix::win
