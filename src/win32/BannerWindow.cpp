#include "win32/BannerWindow.h"
#include "win32/WindowRouting.h"

#include "boot/BannerLayout.h"
#include "win32/DeviceContext.h"
#include "win32/Dpi.h"
#include "win32/LayoutColour.h"
#include "win32/Resources.h"
#include "win32/WinText.h"
#include "win32/WindowClass.h"

namespace vlmr::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VelmoraBanner";

}  // namespace

BannerWindow::BannerWindow(HINSTANCE instance) : banner_(LoadPicture(instance, kBannerWindow.picture)) {
    const layout::Window& look = kBannerWindow;
    RegisterWindowClass(instance, kClassName, &BannerWindow::Procedure,
                        {.background = look.background, .applicationIcon = true});
    window_ = CreateWindowExW(0, kClassName, Widen(look.caption).c_str(), WS_POPUP, 0, 0,
                              TwipsToPixels(look.width, kBaseDpi), TwipsToPixels(look.height, kBaseDpi), nullptr,
                              nullptr, instance, this);
    if (window_) SizeAndCentre(window_, look.width, look.height);
}

BannerWindow::~BannerWindow() {
    if (window_) DestroyWindow(window_);
}

void BannerWindow::Show() {
    if (window_) ShowWindow(window_, SW_SHOW);
}

void BannerWindow::Focus() {
    if (!window_) return;
    SetForegroundWindow(window_);
    SetFocus(window_);
}

void BannerWindow::Hide() {
    if (window_) ShowWindow(window_, SW_HIDE);
}

void BannerWindow::Unload() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK BannerWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteToOwner(window, message, wParam, lParam, &BannerWindow::window_, &BannerWindow::OnMessage);
}

LRESULT BannerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: return 1;  // the paint covers every pixel
        case WM_LBUTTONUP:
            if (onClick_) onClick_();
            return 0;
        case WM_DPICHANGED: FollowDpiChange(window_, wParam, lParam); return 0;
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void BannerWindow::Paint() {
    const PaintDc paint(window_);
    const HDC dc = paint.get();
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, BrushFor(dc, kBannerWindow.background, COLOR_WINDOW));

    BITMAP picture{};
    if (!banner_ || !GetObjectW(banner_.get(), sizeof picture, &picture)) return;
    const UINT dpi = DpiOfWindow(window_);
    const int width = ScaleForDpi(picture.bmWidth, dpi);
    const int height = ScaleForDpi(picture.bmHeight, dpi);
    const MemoryDc source(dc);
    const Selection selected(source.get(), banner_.get());
    if (width == picture.bmWidth && height == picture.bmHeight) {
        BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, width, height, source.get(), 0, 0, picture.bmWidth, picture.bmHeight, SRCCOPY);
    }
}

}  // namespace vlmr::win32
