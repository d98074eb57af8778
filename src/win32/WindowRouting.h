#pragma once
// Routes a window's messages to the C++ object that created it: the object
// rides in CreateWindowExW's last argument, then in GWLP_USERDATA, and lets
// go of its handle when the window is destroyed. Every window of the program
// is entered here, so this is where no exception may pass into the system.
#include <windows.h>

#include "win32/StopOnException.h"

namespace vlmr::win32 {

template <class Owner>
LRESULT RouteToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HWND Owner::*handle,
                     LRESULT (Owner::*onMessage)(UINT, WPARAM, LPARAM), void (Owner::*forget)() = nullptr) noexcept {
    try {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->*handle = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self) return DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->*handle = nullptr;
            if (forget) (self->*forget)();
            return DefWindowProcW(window, message, wParam, lParam);
        }
        return (self->*onMessage)(message, wParam, lParam);
    } catch (...) {
        // A message that comes while the box is up goes its ordinary way.
        if (Stopping()) return DefWindowProcW(window, message, wParam, lParam);
        StopForCurrentException();
    }
}

}  // namespace vlmr::win32
