#include "win32/ClickLabel.h"

#include <commctrl.h>

#include <cstdio>

namespace vlmr::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;

// The capture is the press: a release that finds it gone (taken by a box,
// or never set because the press was a double click's) is no click.
LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) noexcept {
    switch (message) {
        case WM_LBUTTONDOWN:
            SetCapture(label);
            return 0;  // not to the static, which would report the press as the click
        case WM_LBUTTONUP: {
            if (GetCapture() != label) return 0;
            ReleaseCapture();
            RECT client{};
            GetClientRect(label, &client);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            // The parent's handler guards itself against exceptions (RouteToOwner).
            if (PtInRect(&client, at))
                SendMessageW(GetParent(label), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED),
                             reinterpret_cast<LPARAM>(label));
            return 0;
        }
        case WM_NCDESTROY: RemoveWindowSubclass(label, &LabelProcedure, kSubclassId); break;
        default: break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace

bool MakeClickLabel(HWND label) {
    if (label && SetWindowSubclass(label, &LabelProcedure, kSubclassId, 0)) return true;
    std::fprintf(stderr, "Velmora: a label could not be made to wait for the release of a click\n");
    std::fflush(stderr);
    return false;
}

}  // namespace vlmr::win32
