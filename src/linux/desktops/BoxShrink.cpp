#include "BoxShrink.h"

#include <algorithm>
#include <vector>

namespace vlmr {
namespace {

// A pixel's channels spread into 21-bit lanes of one word, so a column of
// up to 8224 pixels adds up in one addition a pixel.
constexpr int kLane = 21;
constexpr std::uint64_t kLaneMask = (std::uint64_t{1} << kLane) - 1;
constexpr std::uint32_t kMaxFactor = 8192;

std::uint64_t Spread(std::uint32_t pixel) {
    return (pixel & 0xff) | (std::uint64_t{pixel & 0xff00} << (kLane - 8)) |
           (std::uint64_t{pixel & 0xff0000} << (2 * kLane - 16));
}

// The mean rounded down, as Qt's smooth scaling and the X server's bilinear
// filter round it: halving then gives exactly their pixels. The small
// addition keeps an exact quotient from falling just short.
std::uint32_t Mean(std::uint64_t sum, double inverse) {
    return static_cast<std::uint32_t>(static_cast<double>(sum) * inverse + 1e-6);
}

// Halving both ways, the most common shrink (a 4K picture on a 1080p
// screen), in 16-bit lanes: red and blue in one word, green in another.
// Rounds down as Mean does.
void HalveRow(const std::uint32_t* top, const std::uint32_t* bottom, std::uint32_t width, std::uint32_t* out) {
    constexpr std::uint32_t kRedBlue = 0x00ff00ff;
    constexpr std::uint32_t kGreen = 0x0000ff00;
    const std::uint32_t pairs = width / 2;
    for (std::uint32_t x = 0; x < pairs; ++x) {
        const std::uint32_t a = top[2 * x];
        const std::uint32_t b = top[2 * x + 1];
        const std::uint32_t c = bottom[2 * x];
        const std::uint32_t d = bottom[2 * x + 1];
        const std::uint32_t redBlue = (a & kRedBlue) + (b & kRedBlue) + (c & kRedBlue) + (d & kRedBlue);
        const std::uint32_t green = (a & kGreen) + (b & kGreen) + (c & kGreen) + (d & kGreen);
        out[x] = 0xff000000u | (redBlue >> 2 & kRedBlue) | (green >> 2 & kGreen);
    }
    if (width % 2 != 0) {  // the last column alone
        const std::uint32_t a = top[width - 1];
        const std::uint32_t c = bottom[width - 1];
        const std::uint32_t redBlue = (a & kRedBlue) + (c & kRedBlue);
        const std::uint32_t green = (a & kGreen) + (c & kGreen);
        out[pairs] = 0xff000000u | (redBlue >> 1 & kRedBlue) | (green >> 1 & kGreen);
    }
}

}  // namespace

std::uint32_t BoxFactor(int from, int to) {
    if (to <= 0 || from <= to) return 1;
    return std::min(static_cast<std::uint32_t>(from / to), kMaxFactor);
}

void BoxShrink(const std::uint32_t* in, std::size_t inStride, std::uint32_t width, std::uint32_t height,
               std::uint32_t kx, std::uint32_t ky, std::uint32_t* out, std::size_t outStride) {
    kx = std::clamp(kx, 1u, width);
    ky = std::clamp(ky, 1u, std::min(height, kMaxFactor));  // more rows would overflow a lane
    const std::uint32_t outWidth = (width + kx - 1) / kx;
    const std::uint32_t outHeight = (height + ky - 1) / ky;
    std::vector<std::uint64_t> columns;
    for (std::uint32_t oy = 0; oy < outHeight; ++oy) {
        const std::uint32_t top = oy * ky;
        const std::uint32_t rows = std::min(ky, height - top);
        const std::uint32_t* row = in + std::size_t{top} * inStride;
        std::uint32_t* target = out + std::size_t{oy} * outStride;
        if (kx == 2 && ky == 2 && rows == 2) {
            HalveRow(row, row + inStride, width, target);
            continue;
        }
        columns.resize(width);
        for (std::uint32_t x = 0; x < width; ++x) columns[x] = Spread(row[x]);
        for (std::uint32_t r = 1; r < rows; ++r) {
            row += inStride;
            for (std::uint32_t x = 0; x < width; ++x) columns[x] += Spread(row[x]);
        }
        const double full = 1.0 / (static_cast<double>(kx) * rows);
        for (std::uint32_t ox = 0; ox < outWidth; ++ox) {
            const std::uint32_t left = ox * kx;
            const std::uint32_t count = std::min(kx, width - left);
            std::uint64_t blue = 0;
            std::uint64_t green = 0;
            std::uint64_t red = 0;
            for (std::uint32_t x = left; x < left + count; ++x) {
                const std::uint64_t lanes = columns[x];
                blue += lanes & kLaneMask;
                green += (lanes >> kLane) & kLaneMask;
                red += lanes >> (2 * kLane);
            }
            const double inverse = count == kx ? full : 1.0 / (static_cast<double>(count) * rows);
            target[ox] = 0xff000000u | Mean(red, inverse) << 16 | Mean(green, inverse) << 8 | Mean(blue, inverse);
        }
    }
}

}  // namespace vlmr
