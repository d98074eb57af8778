#include "win32/OptionsWindow.h"
#include "win32/WindowRouting.h"

#include <algorithm>

#include "win32/ConfiguratorWindow.h"
#include "win32/Dpi.h"
#include "win32/WinText.h"
#include "win32/WindowClass.h"

namespace vlmr::win32 {

namespace {

// A classic dialog's frame: a caption with a close box, no icon, nothing
// to resize, minimise or maximise with.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

constexpr Proportions kModes[] = {Proportions::Stretch, Proportions::Fill, Proportions::Fit};

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

OptionsWindow::OptionsWindow(const ConfiguratorWindow& owner, HINSTANCE instance) : owner_(owner.Window()) {
    const layout::Window& look = kOptionsWindow;
    if (!RegisterWindowClass(instance, kClassName, &OptionsWindow::Procedure, {.background = look.background}))
        return;
    CreateWindowExW(kExStyle, kClassName, Widen(look.caption).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    TwipsToPixels(look.width, kBaseDpi), TwipsToPixels(look.height, kBaseDpi), owner_, nullptr,
                    instance, this);
    if (!window_) return;
    controls_.Create(instance, window_, kOptionsControls, kFirstOptionsControlId);
    controls_.Layout(DpiOfWindow(window_));
    PlaceOverOwner();
}

OptionsWindow::~OptionsWindow() {
    if (window_) DestroyWindow(window_);
}

bool OptionsWindow::HandleDialogMessage(MSG& message) {
    return window_ && IsWindowVisible(window_) && IsDialogMessageW(window_, &message);
}

void OptionsWindow::PlaceOverOwner() {
    SizeAndCentre(window_, kOptionsWindow.width, kOptionsWindow.height);
    RECT own{}, ownerFrame{};
    GetWindowRect(window_, &own);
    if (!owner_ || !GetWindowRect(owner_, &ownerFrame)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const LONG width = own.right - own.left, height = own.bottom - own.top;
    LONG left = (ownerFrame.left + ownerFrame.right - width) / 2;
    LONG top = (ownerFrame.top + ownerFrame.bottom - height) / 2;
    left = std::max(work.left, std::min(left, work.right - width));
    top = std::max(work.top, std::min(top, work.bottom - height));
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OptionsWindow::Show() {
    if (!window_) return;
    if (!IsWindowVisible(window_)) {
        PlaceOverOwner();
        focus_.Forget();  // each opening starts at the first control
        // The owner waits while the options are open.
        if (owner_) EnableWindow(owner_, FALSE);
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void OptionsWindow::Close() {
    // The owner first, so that the activation goes back to it.
    if (owner_) EnableWindow(owner_, TRUE);
    ShowWindow(window_, SW_HIDE);
}

void OptionsWindow::SetCheck(HWND button, bool checked) {
    if (!button) return;
    updating_ = true;
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    updating_ = false;
}

void OptionsWindow::ShowType(PictureType type, bool shown) {
    if (const HWND box = Control(TypeControl(type))) ShowWindow(box, shown ? SW_SHOWNA : SW_HIDE);
}

void OptionsWindow::SetTypeCheck(PictureType type, bool checked) { SetCheck(Control(TypeControl(type)), checked); }

void OptionsWindow::SetProportions(Proportions proportions) {
    for (const Proportions mode : kModes) SetCheck(Control(ProportionsControl(mode)), mode == proportions);
    UpdateProportionsTabStop();
}

void OptionsWindow::SetNoRepeatsCheck(bool checked) { SetCheck(Control("NRepeat"), checked); }

void OptionsWindow::SetPerMonitorCheck(bool checked) { SetCheck(Control("PMonitor"), checked); }

void OptionsWindow::UpdateProportionsTabStop() {
    for (const Proportions mode : kModes) {
        const HWND option = Control(ProportionsControl(mode));
        if (!option) continue;
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(option, GWL_STYLE));
        const DWORD wanted =
            IsChecked(option) ? style | WS_TABSTOP : style & ~static_cast<DWORD>(WS_TABSTOP);
        if (wanted != style) SetWindowLongPtrW(option, GWL_STYLE, static_cast<LONG_PTR>(wanted));
    }
}

LRESULT CALLBACK OptionsWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteToOwner(window, message, wParam, lParam, &OptionsWindow::window_, &OptionsWindow::OnMessage);
}

LRESULT OptionsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return controls_.Colours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                     kOptionsWindow.background);
        case WM_ACTIVATE:
            focus_.OnActivate(window_, wParam, Control(TypeControl(PictureType::Jpeg)));
            return 0;
        case WM_CLOSE: Close(); return 0;
        case WM_DPICHANGED: controls_.Layout(FollowDpiChange(window_, wParam, lParam)); return 0;
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void OptionsWindow::OnCommand(int id, int code) {
    // Escape, as the dialog keys deliver it.
    if (id == IDCANCEL) return Close();
    if (updating_ || !presenter_ || code != BN_CLICKED) return;
    const HWND button = controls_.WithId(id);
    if (!button) return;
    const bool on = IsChecked(button);
    for (const PictureType type : kPictureTypes)
        if (id == OptionsControlIdOf(TypeControl(type))) return presenter_->SetType(type, on);
    for (const Proportions mode : kModes) {
        if (id != OptionsControlIdOf(ProportionsControl(mode))) continue;
        if (!on) return;
        UpdateProportionsTabStop();
        return presenter_->SelectProportions(mode);
    }
    if (id == OptionsControlIdOf("NRepeat")) return presenter_->SetNoRepeats(on);
    if (id == OptionsControlIdOf("PMonitor")) presenter_->SetPerMonitor(on);
}

}  // namespace vlmr::win32
