#pragma once
// Where a BMP file keeps its pixels and how they are packed, read from its
// headers; and whether the file holds every pixel they promise. The picture
// check and the bitmap decoder both go by this one reading, so the decoder
// only ever sees files the check calls whole. Plain C++; reading the
// headers allocates nothing.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vlmr {

enum class BmpCompression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

struct BmpLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false;          // the file's first row is the top one
    std::uint32_t bits = 0;        // a pixel: 1, 4, 8, 16, 24 or 32
    BmpCompression compression = BmpCompression::Rgb;
    std::size_t palette = 0;       // where the palette starts (1, 4 and 8 bits)
    std::uint32_t colours = 0;     // its entries
    std::uint32_t paletteEntry = 4;  // bytes an entry: 3 after an OS/2 core header
    // The channels of a 16- or 32-bit pixel, defaults filled in; no alpha
    // mask means the picture is opaque.
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t alphaMask = 0;
    std::size_t pixels = 0;        // where the rows or the run-length stream start
    std::size_t stride = 0;        // bytes a row, padded to 32 bits (not run-length)
};

// Reads the headers of a file that starts with "BM" into `layout` and
// returns nullptr when every pixel is in the file and the picture is of a
// size we show, else why not (a constant English text). Width and height
// are filled in as soon as they are read, also for a refused file.
const char* ReadBmpHeaders(const unsigned char* data, std::size_t size, BmpLayout& layout);

// The same, for a caller that wants the layout or the reason.
std::optional<BmpLayout> ReadBmpLayout(const unsigned char* data, std::size_t size,
                                       std::string& why);

}  // namespace vlmr
