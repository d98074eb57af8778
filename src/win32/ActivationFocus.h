#pragma once
// What a dialog box does with the keyboard focus: it leaves with the window
// and comes back with it, to the control that had it, or to the first one.
#include <windows.h>

namespace vlmr::win32 {

class ActivationFocus {
public:
    // For WM_ACTIVATE of the window; `first` gets the focus when no control
    // of the window had it yet.
    void OnActivate(HWND window, WPARAM wParam, HWND first) {
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(window, focus)) focus_ = focus;
        } else if (!HIWORD(wParam)) {  // not while minimised
            SetFocus(focus_ && IsWindow(focus_) ? focus_ : first);
        }
    }
    // The next activation starts at the first control.
    void Forget() { focus_ = nullptr; }

private:
    HWND focus_ = nullptr;
};

}  // namespace vlmr::win32
