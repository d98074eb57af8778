// The progress window on the real window manager.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "config/WaitLayout.h"
#include "win32/DialogFont.h"
#include "win32/Dpi.h"
#include "win32/LayoutColour.h"
#include "win32/WaitWindow.h"
#include "win32/WinText.h"

namespace vlmr::win32 {
namespace {

// The progress windows of this thread: other tests may run beside us.
std::vector<HWND> WaitWindowsOfThisThread() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (std::wstring_view(name) == L"VelmoraWait") reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void DeliverPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// The client area's pixels as the screen shows them.
std::vector<COLORREF> ClientPixels(HWND window, const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<COLORREF> pixels;
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, source, area.left, area.top, SRCCOPY)) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(memory, x, y));
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return pixels;
}

TEST(WaitWindow, BuiltOnTheFirstShowAtItsSizeInTheMiddleOfTheScreen) {
    WaitWindow wait(GetModuleHandleW(nullptr));
    EXPECT_EQ(wait.Handle(), 0u);
    EXPECT_TRUE(WaitWindowsOfThisThread().empty()) << "the window exists before it is shown";

    wait.Show();
    const auto window = reinterpret_cast<HWND>(wait.Handle());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WaitWindowsOfThisThread(), std::vector<HWND>{window});
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetParent(window), nullptr);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_SYSMENU), 0u);

    const UINT dpi = DpiOfWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, TwipsToPixels(kWaitWindow.width, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(kWaitWindow.height, dpi));
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, client.right) << "the window has a border";
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_LE(std::abs((frame.left + frame.right) - (monitor.rcMonitor.left + monitor.rcMonitor.right)), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (monitor.rcMonitor.top + monitor.rcMonitor.bottom)), 1);

    wait.Focus();
    EXPECT_EQ(GetFocus(), window);
}

TEST(WaitWindow, TheBlueBoldLineAtItsPlace) {
    WaitWindow wait(GetModuleHandleW(nullptr));
    wait.Show();
    const auto window = reinterpret_cast<HWND>(wait.Handle());
    ASSERT_NE(window, nullptr);
    const HWND label = wait.Label();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(GetParent(label), window);
    const layout::Control& row = *layout::Find(kWaitControls, "WLabrel");
    EXPECT_EQ(Narrow(TextOf(label)), row.caption);

    const UINT dpi = DpiOfWindow(window);
    RECT place{};
    GetWindowRect(label, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, TwipsToPixels(row.place.left, dpi));
    EXPECT_EQ(place.top, TwipsToPixels(row.place.top, dpi));
    EXPECT_EQ(place.right - place.left, TwipsToPixels(row.place.width, dpi));
    EXPECT_EQ(place.bottom - place.top, TwipsToPixels(row.place.height, dpi));
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(label, GWL_STYLE));
    EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFTNOWORDWRAP));  // left-aligned, one line
    EXPECT_TRUE(style & SS_NOTIFY);

    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    ASSERT_NE(handle, nullptr) << "the label keeps the system font";
    ASSERT_TRUE(GetObjectW(handle, sizeof font, &font));
    EXPECT_EQ(font.lfWeight, row.font.bold ? FW_BOLD : FW_NORMAL);
    EXPECT_EQ(font.lfHeight, FontHeight(row.font, dpi));
    EXPECT_EQ(std::wstring(font.lfFaceName), FaceFor(row.font));

    // On the screen: button face around the text, the text in its colour.
    UpdateWindow(window);
    DeliverPending();
    RECT client{};
    GetClientRect(window, &client);
    const std::vector<COLORREF> pixels = ClientPixels(window, client);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels.front(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixels.back(), GetSysColor(COLOR_BTNFACE));
    const auto text = std::count(pixels.begin(), pixels.end(), ColourRef(row.colour, COLOR_BTNTEXT));
    EXPECT_GT(text, 50) << "no text in the label's colour";
}

TEST(WaitWindow, HiddenAndShownAgainIsTheSameWindow) {
    WaitWindow wait(GetModuleHandleW(nullptr));
    wait.Hide();  // before the first show: nothing to hide, nothing made
    EXPECT_EQ(wait.Handle(), 0u);
    wait.Show();
    const WindowHandle first = wait.Handle();
    wait.Hide();
    EXPECT_EQ(wait.Handle(), first);
    EXPECT_FALSE(IsWindowVisible(reinterpret_cast<HWND>(first)));
    EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(first)));
    wait.Show();
    EXPECT_EQ(wait.Handle(), first);
    EXPECT_TRUE(IsWindowVisible(reinterpret_cast<HWND>(first)));
    EXPECT_EQ(WaitWindowsOfThisThread().size(), 1u);
}

TEST(WaitWindow, AClickOnTheLabelRunsTheActionOnce) {
    WaitWindow wait(GetModuleHandleW(nullptr));
    int clicks = 0;
    wait.SetClickAction([&] { ++clicks; });
    wait.Show();
    const HWND label = wait.Label();
    ASSERT_NE(label, nullptr);
    DeliverPending();
    EXPECT_EQ(clicks, 0);
    PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    DeliverPending();
    EXPECT_EQ(clicks, 1);
    // The click is the release over the label: a press dragged off it is none.
    PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    DeliverPending();
    EXPECT_EQ(clicks, 1) << "the press alone acted";
    PostMessageW(label, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, -20));
    PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(5, -20));
    DeliverPending();
    EXPECT_EQ(clicks, 1) << "a press released off the label acted";
    // A click on the window beside the label is no click on the label.
    PostMessageW(reinterpret_cast<HWND>(wait.Handle()), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    PostMessageW(reinterpret_cast<HWND>(wait.Handle()), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    DeliverPending();
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace vlmr::win32
