#include "win32/PictureBox.h"
#include "win32/WindowRouting.h"

#include "win32/DeviceContext.h"
#include "win32/Dpi.h"
#include "win32/Resources.h"
#include "win32/WindowClass.h"

namespace vlmr::win32 {

namespace {

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_XBUTTONDOWN;
}

bool IsButtonUp(UINT message) {
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP || message == WM_XBUTTONUP;
}

constexpr WPARAM kAnyMouseButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2;

}  // namespace

PictureBox::PictureBox(HINSTANCE instance, HWND parent, int id, const wchar_t* name, const char* picture) {
    // No background: the paint covers every pixel.
    RegisterWindowClass(instance, kClassName, &PictureBox::Procedure, {.style = CS_HREDRAW | CS_VREDRAW});
    picture_ = LoadPicture(instance, picture ? picture : "");
    BITMAP info{};
    if (picture_ && GetObjectW(picture_.get(), sizeof info, &info)) pictureSize_ = {info.bmWidth, info.bmHeight};
    CreateWindowExW(0, kClassName, name, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0, 0,
                    pictureSize_.cx + 2, pictureSize_.cy + 2, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
}

PictureBox::~PictureBox() {
    if (window_) DestroyWindow(window_);
}

void PictureBox::SetActions(std::function<void()> down, std::function<void()> up, std::function<void()> click) {
    down_ = std::move(down);
    up_ = std::move(up);
    click_ = std::move(click);
}

void PictureBox::SetSunken(bool sunken) {
    if (sunken == sunken_) return;
    sunken_ = sunken;
    if (!window_) return;
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

LRESULT CALLBACK PictureBox::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteToOwner(window, message, wParam, lParam, &PictureBox::window_, &PictureBox::OnMessage);
}

LRESULT PictureBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsButtonDown(message)) {
        ButtonDown(message == WM_LBUTTONDOWN);
        return message == WM_XBUTTONDOWN ? TRUE : 0;
    }
    if (IsButtonUp(message)) {
        ButtonUp(message == WM_LBUTTONUP, (wParam & kAnyMouseButton) == 0, lParam);
        return message == WM_XBUTTONUP ? TRUE : 0;
    }
    switch (message) {
        case WM_PAINT: {
            const PaintDc paint(window_);
            Draw(paint.get());
            return 0;
        }
        case WM_PRINTCLIENT: Draw(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_ERASEBKGND: return 1;  // the paint covers every pixel
        case WM_CAPTURECHANGED:
            // Taken away (a message box, another window): no click can follow.
            leftDown_ = false;
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            keyDown_ = false;
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_GETDLGCODE:
            // Enter belongs to the button with the focus, not to the window.
            if (lParam && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
                reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN)
                return DLGC_WANTMESSAGE;
            return 0;
        case WM_KEYDOWN:
            if ((wParam == VK_SPACE || wParam == VK_RETURN) && !(lParam & (1 << 30))) {
                keyDown_ = true;
                return 0;
            }
            break;
        case WM_KEYUP:
            if ((wParam == VK_SPACE || wParam == VK_RETURN) && keyDown_) {
                keyDown_ = false;
                Click();
                return 0;
            }
            break;
        case BM_CLICK:
            // As a mouse click of the left button: press, release, click.
            if (down_) down_();
            if (up_) up_();
            Click();
            return 0;
        default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void PictureBox::ButtonDown(bool left) {
    if (left) {
        leftDown_ = true;
        SetFocus(window_);
    }
    SetCapture(window_);
    if (down_) down_();
}

void PictureBox::ButtonUp(bool left, bool lastHeld, LPARAM point) {
    const bool wasDown = leftDown_;
    if (left) leftDown_ = false;
    // The capture goes with the last button held (and takes a pending left
    // press with it, so it is read first).
    if (lastHeld && GetCapture() == window_) ReleaseCapture();
    if (up_) up_();
    if (!left || !wasDown) return;
    RECT client{};
    GetClientRect(window_, &client);
    const POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    if (PtInRect(&client, at)) Click();
}

void PictureBox::Click() {
    if (click_) click_();
}

void PictureBox::Draw(HDC dc) {
    RECT client{};
    GetClientRect(window_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    // Flat: a one-pixel line around the picture. Pressed: the two-pixel
    // sunken edge, with the picture one pixel further in.
    const int inset = sunken_ ? 2 : 1;
    if (picture_) {
        const UINT dpi = DpiOfWindow(window_);
        const int width = ScaleForDpi(pictureSize_.cx, dpi);
        const int height = ScaleForDpi(pictureSize_.cy, dpi);
        const SavedDcState saved(dc);
        IntersectClipRect(dc, client.left + inset, client.top + inset, client.right - inset, client.bottom - inset);
        const MemoryDc source(dc);
        const Selection selected(source.get(), picture_.get());
        TransparentBlt(dc, inset, inset, width, height, source.get(), 0, 0, pictureSize_.cx, pictureSize_.cy,
                       kBackgroundKey);
    }
    if (sunken_) {
        DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
    } else {
        // The focus shows in the border's colour, leaving the picture whole.
        FrameRect(dc, &client, GetSysColorBrush(GetFocus() == window_ ? COLOR_HIGHLIGHT : COLOR_WINDOWFRAME));
    }
}

}  // namespace vlmr::win32
