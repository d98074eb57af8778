#pragma once
// Window sizes given in twips or at 96 dpi, scaled to the real DPI of the
// window's monitor. The newer DPI functions are looked up at run time, so
// the program still starts on systems without them.
#include <windows.h>

namespace vlmr::win32 {

inline constexpr UINT kBaseDpi = 96;

int ScaleForDpi(int pixelsAt96, UINT dpi);

// 1440 twips to the inch, to the nearest pixel.
int TwipsToPixels(int twips, UINT dpi);

// The DPI the window is drawn at.
UINT DpiOfWindow(HWND window);

// Resizes the window so that its client area is the given size in twips at
// its DPI, and centres it on its monitor.
void SizeAndCentre(HWND window, int clientWidthTwips, int clientHeightTwips);

// WM_DPICHANGED: the window was moved to a monitor of another DPI. Takes the
// place Windows proposes and returns the new DPI, for the owner's layout.
UINT FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace vlmr::win32
