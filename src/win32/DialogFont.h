#pragma once
// The configurator's caption font: MS Sans Serif 8.25 pt where it is
// installed, otherwise the system's own dialog face at that size.
#include <windows.h>

#include <string>

#include "win32/GdiObjects.h"

namespace vlmr::win32 {

inline constexpr wchar_t kClassicDialogFace[] = L"MS Sans Serif";

// Whether a font family of that name is installed (a substitute does not count).
bool FontFamilyInstalled(const wchar_t* face);

// The face the configurator's captions use.
std::wstring DialogFaceName();

// The character height (negative, in pixels) of 8.25 pt at the DPI.
LONG DialogFontHeight(UINT dpi);

UniqueFont CreateDialogFont(UINT dpi, bool bold);

}  // namespace vlmr::win32
