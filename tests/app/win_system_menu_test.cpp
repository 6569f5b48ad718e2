// The native system menu on Windows: the About item appended to a real window's menu, and the
// message that reports its choice told apart from others.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "app/win_system_menu.h"

namespace orvix::win {
namespace {

TEST(WinSystemMenu, AppendsSeparatorAndItemToTheWindowMenu) {
    HWND window = CreateWindowExW(0, L"STATIC", L"test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr) << GetLastError();
    const int before = GetMenuItemCount(GetSystemMenu(window, FALSE));

    ASSERT_TRUE(
        AppendSystemMenuItem(reinterpret_cast<std::uintptr_t>(window), 1025, L"О программе"));
    HMENU menu = GetSystemMenu(window, FALSE);
    ASSERT_EQ(GetMenuItemCount(menu), before + 2);
    MENUITEMINFOW separator{};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(menu, before, TRUE, &separator));
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(menu, before + 1), 1025u);
    wchar_t caption[64] = {};
    GetMenuStringW(menu, before + 1, caption, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(caption), L"О программе");

    EXPECT_FALSE(AppendSystemMenuItem(0, 1025, L"x")) << "no window, no menu";
    DestroyWindow(window);
}

TEST(WinSystemMenu, RecognisesOnlyItsSystemCommand) {
    MSG about{};
    about.message = WM_SYSCOMMAND;
    about.wParam = 1025;
    EXPECT_TRUE(IsSystemCommand(&about, 1025));
    MSG close = about;
    close.wParam = SC_CLOSE;
    EXPECT_FALSE(IsSystemCommand(&close, 1025));
    MSG command = about;
    command.message = WM_COMMAND;  // the same number from an ordinary menu or a button
    EXPECT_FALSE(IsSystemCommand(&command, 1025));
}

}  // namespace
}  // namespace orvix::win
