#include "win32/Dpi.h"

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

UINT DpiOfWindow(HWND window) {
    static const auto forWindow = UserFunction<GetDpiForWindowFn>("GetDpiForWindow");
    static const auto forSystem = UserFunction<GetDpiForSystemFn>("GetDpiForSystem");
    if (forWindow) {
        if (const UINT dpi = forWindow(window)) return dpi;
    }
    if (forSystem) return forSystem();
    UINT dpi = kBaseDpi;
    if (HDC screen = GetDC(nullptr)) {
        dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
    }
    return dpi ? dpi : kBaseDpi;
}

void SizeAndCentre(HWND window, int clientWidthAt96, int clientHeightAt96) {
    static const auto adjustForDpi = UserFunction<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    const UINT dpi = DpiOfWindow(window);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));

    RECT frame{0, 0, ScaleForDpi(clientWidthAt96, dpi), ScaleForDpi(clientHeightAt96, dpi)};
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

}  // namespace vlmr::win32
