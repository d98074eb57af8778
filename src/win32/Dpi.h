#pragma once
// Window sizes given at 96 dpi, scaled to the real DPI of the window's
// monitor. The newer DPI functions are looked up at run time, so the program
// still starts on systems without them.
#include <windows.h>

namespace vlmr::win32 {

inline constexpr UINT kBaseDpi = 96;

int ScaleForDpi(int pixelsAt96, UINT dpi);

// The DPI the window is drawn at.
UINT DpiOfWindow(HWND window);

// Resizes the window so that its client area is the given size at 96 dpi
// scaled to its DPI, and centres it on its monitor.
void SizeAndCentre(HWND window, int clientWidthAt96, int clientHeightAt96);

}  // namespace vlmr::win32
