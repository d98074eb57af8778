#pragma once
// Whether a picture file holds every pixel its header promises, decided from
// the bytes alone before any decoder sees them. Qt paints a bitmap that ends
// early, or whose run-length stream skips pixels, from memory it never wrote;
// on the root window any X client could read that memory back. Plain C++ on
// purpose, so it can be fuzzed on its own.
#include <cstddef>
#include <cstdint>

namespace vlmr {

// The largest picture shown: 16384 x 16384 pixels (268,435,456). Decoded at
// 32 bits a pixel that is 1 GiB, the allocation the decoder is allowed.
inline constexpr std::uint64_t kMaxPictureSide = 16384;
inline constexpr std::uint64_t kMaxPicturePixels = kMaxPictureSide * kMaxPictureSide;
inline constexpr int kMaxDecodedMegabytes = 1024;
// The largest picture file read: the 32-bit bitmap of the largest picture
// (1 GiB) plus 1 MiB for its headers, palette and any gap before the pixels.
inline constexpr std::size_t kMaxPictureBytes =
    static_cast<std::size_t>(kMaxPicturePixels * 4 + 1024 * 1024);

enum class PictureFormat { Unknown, Bmp, Png, Gif, Jpeg, Webp };

struct PictureVerdict {
    bool whole = false;                          // every pixel is in the file
    PictureFormat format = PictureFormat::Unknown;  // by its signature
    std::uint32_t width = 0;                     // from the header, when it was read
    std::uint32_t height = 0;
    const char* problem = "";                    // why not whole, in English
};

// Why a picture of these sides is not shown (none, or over the bound), or
// nullptr when it is.
const char* PictureSizeProblem(std::uint64_t width, std::uint64_t height);

// BMP, PNG, GIF, JPEG and WebP; anything else is not whole.
PictureVerdict CheckPicture(const unsigned char* data, std::size_t size);

}  // namespace vlmr
