#pragma once
// The layout's colours on Windows. A system colour is the one of the place
// it is used in: the caller names that place's system colour.
#include <windows.h>

#include "platform/WindowLayout.h"

namespace vlmr::win32 {

inline COLORREF ColourRef(const layout::Colour& colour, int systemColour) {
    return colour.fixed ? RGB(colour.red, colour.green, colour.blue) : GetSysColor(systemColour);
}

// A brush of the colour for painting on the DC now; the system owns it.
inline HBRUSH BrushFor(HDC dc, const layout::Colour& colour, int systemColour) {
    if (!colour.fixed) return GetSysColorBrush(systemColour);
    SetDCBrushColor(dc, ColourRef(colour, systemColour));
    return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
}

}  // namespace vlmr::win32
