// The bitmap decoder on any bytes: a layout is read exactly when the
// picture check calls the file a whole BMP, it is of a size we show, and
// the decoder writes every pixel of it and nothing beside, reading only
// inside the bytes (AddressSanitizer sees the reads).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "linux/desktops/BmpReader.h"
#include "linux/desktops/PictureCheck.h"

namespace {

// No decoded pixel is ever transparent, so this one was never written.
constexpr std::uint32_t kUnwritten = 0x00c0ffee;
// Larger pictures are only checked for their layout, to keep the run small.
constexpr std::uint64_t kMostDecodedPixels = std::uint64_t{1} << 22;

void Decode(const std::uint8_t* data, std::size_t size, const vlmr::BmpLayout& layout) {
    // One column more than the picture, and one line.
    const std::size_t stride = layout.width + std::size_t{1};
    std::vector<std::uint32_t> out(stride * (layout.height + std::size_t{1}), kUnwritten);
    vlmr::fuzz::Require(vlmr::DecodeBmp(data, size, layout, out.data(), stride),
                        "the decoder refused the layout read from the same bytes");
    for (std::size_t y = 0; y <= layout.height; ++y) {
        for (std::size_t x = 0; x < stride; ++x) {
            const bool inside = y < layout.height && x < layout.width;
            const std::uint32_t pixel = out[y * stride + x];
            vlmr::fuzz::Require(inside ? pixel >> 24 == 0xff : pixel == kUnwritten,
                                inside ? "a pixel was not written" : "a pixel outside was written");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vlmr::fuzz::Require;
    std::string why;
    const std::optional<vlmr::BmpLayout> layout = vlmr::ReadBmpLayout(data, size, why);
    const vlmr::PictureVerdict verdict = vlmr::CheckPicture(data, size);
    Require(layout.has_value() == (verdict.whole && verdict.format == vlmr::PictureFormat::Bmp),
            "the bitmap's layout and the picture check disagree");
    if (!layout) {
        Require(!why.empty(), "a refused bitmap says no reason");
        return 0;
    }
    const std::uint64_t pixels = std::uint64_t{layout->width} * layout->height;
    Require(layout->width == verdict.width && layout->height == verdict.height,
            "the layout's size is not the checked one");
    Require(pixels > 0 && pixels <= vlmr::kMaxPicturePixels,
            "a bitmap over the size bound was accepted");
    if (pixels <= kMostDecodedPixels) Decode(data, size, *layout);
    return 0;
}
