#include "win32/WaitWindow.h"
#include "win32/WindowRouting.h"

#include "config/WaitLayout.h"
#include "win32/Dpi.h"
#include "win32/WinText.h"
#include "win32/WindowClass.h"

namespace vlmr::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VelmoraWait";
constexpr int kFirstId = 1;
constexpr int kLabelId = kFirstId + layout::Find(kWaitControls, "WLabrel")->tabIndex;

}  // namespace

WaitWindow::~WaitWindow() {
    if (window_) DestroyWindow(window_);
}

bool WaitWindow::Create() {
    const layout::Window& look = kWaitWindow;
    if (!RegisterWindowClass(instance_, kClassName, &WaitWindow::Procedure, {.background = look.background}))
        return false;
    // No border, no caption, no taskbar button: a note, not a window to work in.
    CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, Widen(look.caption).c_str(), WS_POPUP, 0, 0,
                    TwipsToPixels(look.width, kBaseDpi), TwipsToPixels(look.height, kBaseDpi), nullptr, nullptr,
                    instance_, this);
    if (!window_) return false;
    controls_.Create(instance_, window_, kWaitControls, kFirstId);
    SizeAndCentre(window_, look.width, look.height);
    controls_.Layout(DpiOfWindow(window_));
    return true;
}

void WaitWindow::Show() {
    if (!window_ && !Create()) return;
    ShowWindow(window_, SW_SHOW);
    // The scan that follows lets messages through only now and then: paint now.
    UpdateWindow(window_);
}

void WaitWindow::Focus() {
    if (!window_) return;
    SetForegroundWindow(window_);
    SetFocus(window_);
}

void WaitWindow::Hide() {
    if (window_) ShowWindow(window_, SW_HIDE);
}

LRESULT CALLBACK WaitWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Closed from outside (Alt+F4): the next show builds it afresh.
    return RouteToOwner(window, message, wParam, lParam, &WaitWindow::window_, &WaitWindow::OnMessage,
                        &WaitWindow::ForgetControls);
}

LRESULT WaitWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
            return controls_.Colours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                     kWaitWindow.background);
        case WM_COMMAND:
            if (LOWORD(wParam) == kLabelId && HIWORD(wParam) == STN_CLICKED && click_) {
                // The action may open a browser and deliver messages: keep a copy.
                const std::function<void()> action = click_;
                action();
            }
            return 0;
        case WM_DPICHANGED: controls_.Layout(FollowDpiChange(window_, wParam, lParam)); return 0;
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace vlmr::win32
