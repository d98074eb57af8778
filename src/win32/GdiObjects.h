#pragma once
// Owners for GDI objects (fonts, bitmaps), so each is deleted once, with its owner.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace vlmr::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

}  // namespace vlmr::win32
