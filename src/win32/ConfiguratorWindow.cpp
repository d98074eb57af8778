#include "win32/ConfiguratorWindow.h"
#include "win32/WindowRouting.h"

#include "win32/Dpi.h"
#include "win32/OptionsControlIds.h"
#include "win32/PictureBox.h"
#include "win32/Resources.h"
#include "win32/WinText.h"
#include "win32/WindowClass.h"

namespace vlmr::win32 {

namespace {

// A fixed single border with a close box; nothing to resize or maximise with.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetTabStop(HWND control, bool on) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    const DWORD wanted = on ? style | WS_TABSTOP : style & ~static_cast<DWORD>(WS_TABSTOP);
    if (wanted != style) SetWindowLongPtrW(control, GWL_STYLE, static_cast<LONG_PTR>(wanted));
}

}  // namespace

ConfiguratorWindow::ConfiguratorWindow(HINSTANCE instance) {
    const layout::Window& look = kConfiguratorWindow;
    RegisterWindowClass(instance, kClassName, &ConfiguratorWindow::Procedure,
                        {.background = look.background, .applicationIcon = true});
    CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, Widen(look.caption).c_str(), kStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, TwipsToPixels(look.width, kBaseDpi), TwipsToPixels(look.height, kBaseDpi), nullptr,
                    nullptr, instance, this);
    if (!window_) return;
    // Also the window's own: the title bar, the task switcher and anyone asking the window.
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ApplicationIcon(instance, false)));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ApplicationIcon(instance, true)));
    CreateControls(instance);
    controls_.Layout(DpiOfWindow(window_));
    // The options live behind the system menu, so the window's own look stays as it is.
    if (const HMENU menu = GetSystemMenu(window_, FALSE)) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kOptionsMenuCommand, Widen(kOptionsMenuEntry).c_str());
    }
    SizeAndCentre(window_, look.width, look.height);
}

ConfiguratorWindow::~ConfiguratorWindow() {
    // The controls' owners go with their windows; the window first, so no
    // message reaches a half-destroyed object.
    if (window_) DestroyWindow(window_);
}

void ConfiguratorWindow::CreateControls(HINSTANCE instance) {
    controls_.Create(instance, window_, kConfiguratorControls, kFirstConfigControlId);
    IPath = controls_.Find("IPath");
    PSave = controls_.Picture("PSave");
    POpen = controls_.Picture("POpen");
    OCenter = controls_.Find("OCenter");
    OTile = controls_.Find("OTile");
    OStretch = controls_.Find("OStretch");
    Label1 = controls_.Find("Label1");
    LStart = controls_.Find("LStart");

    const auto picture = [this](PictureBox* box, vlmr::PictureButton which, void (frmConfig::*click)()) {
        if (!box) return;
        box->SetActions([this, which] { if (presenter_) presenter_->MouseDown(which); },
                        [this, which] { if (presenter_) presenter_->MouseUp(which); },
                        [this, click] { if (presenter_) (presenter_->*click)(); });
    };
    picture(PSave, vlmr::PictureButton::Save, &frmConfig::PSave_Click);
    picture(POpen, vlmr::PictureButton::Open, &frmConfig::POpen_Click);
}

HWND ConfiguratorWindow::Control(ConfigControlId id) const { return controls_.WithId(id); }

bool ConfiguratorWindow::HandleDialogMessage(MSG& message) {
    return window_ && IsDialogMessageW(window_, &message);
}

void ConfiguratorWindow::Show() {
    if (!window_) return;
    if (!placed_) {
        placed_ = true;
        SizeAndCentre(window_, kConfiguratorWindow.width, kConfiguratorWindow.height);
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void ConfiguratorWindow::SetCaption(const std::string& caption) {
    if (window_) SetWindowTextW(window_, Widen(caption).c_str());
}

void ConfiguratorWindow::SetPathText(const std::string& text) {
    if (!IPath) return;
    updating_ = true;
    SetWindowTextW(IPath, Widen(text).c_str());
    updating_ = false;
}

void ConfiguratorWindow::SetStartupCheck(bool checked) {
    if (!LStart) return;
    updating_ = true;
    SendMessageW(LStart, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    updating_ = false;
}

void ConfiguratorWindow::SetStyleOption(std::optional<StyleOption> option) {
    if (!OCenter) return;
    updating_ = true;
    const std::pair<StyleOption, HWND> options[] = {
        {StyleOption::Center, OCenter}, {StyleOption::Tile, OTile}, {StyleOption::Stretch, OStretch}};
    for (const auto& [style, button] : options)
        SendMessageW(button, BM_SETCHECK, option == style ? BST_CHECKED : BST_UNCHECKED, 0);
    updating_ = false;
    UpdateStyleTabStop();
}

void ConfiguratorWindow::UpdateStyleTabStop() {
    // One tab stop for the group: the selected option, or the first when none is.
    const bool tile = IsChecked(OTile);
    const bool stretch = IsChecked(OStretch);
    SetTabStop(OCenter, !tile && !stretch);
    SetTabStop(OTile, tile);
    SetTabStop(OStretch, stretch);
}

void ConfiguratorWindow::SetButtonSunken(vlmr::PictureButton button, bool sunken) {
    PictureBox* box = button == vlmr::PictureButton::Save ? PSave : POpen;
    if (box) box->SetSunken(sunken);
}

void ConfiguratorWindow::Minimize() {
    if (window_) ShowWindow(window_, SW_MINIMIZE);
}

void ConfiguratorWindow::Restore() {
    if (window_) ShowWindow(window_, SW_RESTORE);
}

LRESULT CALLBACK ConfiguratorWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteToOwner(window, message, wParam, lParam, &ConfiguratorWindow::window_, &ConfiguratorWindow::OnMessage);
}

LRESULT ConfiguratorWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return controls_.Colours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                     kConfiguratorWindow.background);
        case WM_ACTIVATE:
            focus_.OnActivate(window_, wParam, IPath);
            return 0;
        case WM_CLOSE:
            // Closing the configurator ends the program; nothing is asked or saved.
            if (presenter_) presenter_->Unload();
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != kOptionsMenuCommand) return DefWindowProcW(window_, message, wParam, lParam);
            if (openOptions_) openOptions_();
            return 0;
        case WM_DPICHANGED: controls_.Layout(FollowDpiChange(window_, wParam, lParam)); return 0;
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void ConfiguratorWindow::OnCommand(int id, int code) {
    if (updating_ || !presenter_) return;
    switch (id) {
        case kIdPath:
            if (code == EN_CHANGE) presenter_->PathEdited(Narrow(WindowText(IPath)));
            return;
        case kIdCenter:
        case kIdTile:
        case kIdStretch: {
            if (code != BN_CLICKED) return;
            const HWND button = Control(static_cast<ConfigControlId>(id));
            if (!IsChecked(button)) return;
            UpdateStyleTabStop();
            presenter_->SelectStyle(id == kIdCenter ? StyleOption::Center
                                    : id == kIdTile ? StyleOption::Tile
                                                    : StyleOption::Stretch);
            return;
        }
        case kIdCredit:
            if (code == STN_CLICKED) presenter_->Label1_Click();
            return;
        case kIdStartup:
            if (code == BN_CLICKED) presenter_->SetLStart(IsChecked(LStart) ? vbChecked : vbUnchecked);
            return;
        default: return;  // Enter and Escape arrive as IDOK and IDCANCEL: the window has no such buttons
    }
}

}  // namespace vlmr::win32
