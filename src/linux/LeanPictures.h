#pragma once
// The pictures of the lean banner, compiled into VLMR (EmbedPictures writes
// their source at build time): the banner as the bytes of its BMP file, and
// the window icon as the _NET_WM_ICON property carries it.
#include <cstddef>
#include <cstdint>

namespace vlmr {

extern const unsigned char kBannerBmp[];
extern const std::size_t kBannerBmpSize;
// Each size in turn: its width, its height, then its pixels as 0xAARRGGBB
// (not premultiplied), the top row first.
extern const std::uint32_t kWindowIcon[];
extern const std::size_t kWindowIconLength;

}  // namespace vlmr
