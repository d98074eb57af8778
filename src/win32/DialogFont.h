#pragma once
// The fonts of the window layouts: the layout's face where it is installed
// (MS Sans Serif, for every caption of the program), otherwise the system's
// own dialog face, at the layout's size.
#include <windows.h>

#include <string>

#include "platform/WindowLayout.h"
#include "win32/GdiObjects.h"

namespace vlmr::win32 {

// Whether a font family of that name is installed (a substitute does not count).
bool FontFamilyInstalled(const wchar_t* face);

// The face the font is drawn in.
std::wstring FaceFor(const layout::Font& font);

// The character height (negative, in pixels) of the font's size at the DPI.
LONG FontHeight(const layout::Font& font, UINT dpi);

UniqueFont CreateLayoutFont(const layout::Font& font, UINT dpi);

}  // namespace vlmr::win32
