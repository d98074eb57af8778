#pragma once
// A BMP decoder of its own, for the root wallpaper set without the toolkit:
// it shows every bitmap that Qt's reader shows, pixel for pixel as Qt's
// painter draws it over black. Plain C++; it allocates nothing.
#include <cstddef>
#include <cstdint>

#include "BmpLayout.h"

namespace vlmr {

// Writes the picture as 0xFFRRGGBB, the top row first, row y at
// out + y * outStridePixels (at least layout.width). A pixel with alpha is
// shown premultiplied over black; an index past the end of the palette is
// black (white for the second colour of a one-colour 1-bit palette, as Qt
// shows it). `layout` must come from ReadBmpLayout on these bytes; false,
// with nothing written, when it does not fit them.
bool DecodeBmp(const unsigned char* data, std::size_t size, const BmpLayout& layout,
               std::uint32_t* out, std::size_t outStridePixels);

}  // namespace vlmr
