#include "win32/FrameControl.h"
#include "win32/WindowRouting.h"

#include <algorithm>
#include <string>

#include "win32/DeviceContext.h"
#include "win32/Dpi.h"
#include "win32/WinText.h"
#include "win32/WindowClass.h"

namespace vlmr::win32 {

namespace {

// Where the caption's own leading blank begins, at 96 dpi.
constexpr int kCaptionLeft = 6;

}  // namespace

FrameControl::FrameControl(HINSTANCE instance, HWND parent, int id, const wchar_t* caption) {
    RegisterWindowClass(instance, kClassName, &FrameControl::Procedure,
                        {.style = CS_HREDRAW | CS_VREDRAW, .background = layout::kSystemColour});
    // A control parent: the dialog keys walk into its children.
    CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, caption, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
}

FrameControl::~FrameControl() {
    if (window_) DestroyWindow(window_);
}

void FrameControl::OutlineChild(HWND child) {
    if (std::find(outlined_.begin(), outlined_.end(), child) == outlined_.end()) outlined_.push_back(child);
    if (window_) InvalidateRect(window_, nullptr, TRUE);
}

LRESULT CALLBACK FrameControl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteToOwner(window, message, wParam, lParam, &FrameControl::window_, &FrameControl::OnMessage);
}

LRESULT FrameControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: Paint(); return 0;
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) InvalidateRect(window_, nullptr, TRUE);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
            InvalidateRect(window_, nullptr, TRUE);
            return result;
        }
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_DRAWITEM:
            // The window decides for the controls it placed in the frame.
            return SendMessageW(GetParent(window_), message, wParam, lParam);
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void FrameControl::Paint() {
    const PaintDc paint(window_);
    const HDC dc = paint.get();
    RECT client{};
    GetClientRect(window_, &client);
    const Selection captionFont(dc, font_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);

    // The line runs through the middle of the caption.
    RECT line = client;
    line.top = metrics.tmHeight / 2;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_RECT);

    const std::wstring caption = WindowText(window_);
    if (!caption.empty()) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        const int left = ScaleForDpi(kCaptionLeft, DpiOfWindow(window_));
        RECT text{left, 0, std::min(left + extent.cx, client.right - 2), metrics.tmHeight};
        FillRect(dc, &text, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }

    HBRUSH outline = GetSysColorBrush(COLOR_BTNSHADOW);
    for (HWND child : outlined_) {
        if (!IsWindow(child) || !IsWindowVisible(child)) continue;
        RECT around{};
        GetWindowRect(child, &around);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&around), 2);
        InflateRect(&around, 1, 1);
        FrameRect(dc, &around, outline);
    }
}

}  // namespace vlmr::win32
