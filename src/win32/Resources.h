#pragma once
// The program's own resources: the application icon and the pictures the
// window layouts name.
#include <windows.h>

#include <string_view>

#include "win32/GdiObjects.h"

namespace vlmr::win32 {

// At the system's big or small icon size; shared, so never destroyed.
HICON ApplicationIcon(HINSTANCE instance, bool small);

// The picture of the layout's name ("banner", "save", "open"); empty when
// the name is unknown or the resource cannot be loaded.
UniqueBitmap LoadPicture(HINSTANCE instance, std::string_view name);

}  // namespace vlmr::win32
