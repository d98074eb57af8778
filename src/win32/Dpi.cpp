#include "win32/Dpi.h"

#include "win32/DeviceContext.h"

namespace vlmr::win32 {

namespace {

template <typename Function>
Function UserFunction(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return nullptr;
    // Through void(*)() so the compiler accepts the change of signature.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int ScaleForDpi(int pixelsAt96, UINT dpi) { return MulDiv(pixelsAt96, static_cast<int>(dpi), kBaseDpi); }

int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

UINT DpiOfWindow(HWND window) {
    static const auto forWindow = UserFunction<GetDpiForWindowFn>("GetDpiForWindow");
    static const auto forSystem = UserFunction<GetDpiForSystemFn>("GetDpiForSystem");
    if (forWindow) {
        if (const UINT dpi = forWindow(window)) return dpi;
    }
    if (forSystem) return forSystem();
    UINT dpi = kBaseDpi;
    if (const WindowDc screen{nullptr}) dpi = static_cast<UINT>(GetDeviceCaps(screen.get(), LOGPIXELSX));
    return dpi ? dpi : kBaseDpi;
}

void SizeAndCentre(HWND window, int clientWidthTwips, int clientHeightTwips) {
    static const auto adjustForDpi = UserFunction<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    const UINT dpi = DpiOfWindow(window);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));

    RECT frame{0, 0, TwipsToPixels(clientWidthTwips, dpi), TwipsToPixels(clientHeightTwips, dpi)};
    if (adjustForDpi)
        adjustForDpi(&frame, style, FALSE, exStyle, dpi);
    else
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcMonitor;
    const int left = screen.left + (screen.right - screen.left - width) / 2;
    const int top = screen.top + (screen.bottom - screen.top - height) / 2;
    SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam) {
    const RECT* proposed = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                 proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return HIWORD(wParam);
}

}  // namespace vlmr::win32
