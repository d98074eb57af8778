#include "BmpReader.h"

#include <algorithm>
#include <cstring>

namespace vlmr {
namespace {

constexpr std::uint32_t kOpaque = 0xff000000;

std::uint32_t Le16(const unsigned char* at) { return at[0] | at[1] << 8; }
std::uint32_t Le32(const unsigned char* at) {
    std::uint32_t value;
    std::memcpy(&value, at, 4);  // x86 and ARM Linux are little-endian
    return value;
}

// A channel of a premultiplied-over-black pixel, rounded as Qt rounds it.
std::uint32_t OverBlack(std::uint32_t channel, std::uint32_t alpha) {
    const std::uint32_t t = channel * alpha;
    return (t + (t >> 8) + 0x80) >> 8;
}

// A channel under a mask, widened to 8 bits as Qt's reader does: the value
// times 256 / (its largest + 1), so a 5-bit 31 is 248 and a channel wider
// than 8 bits is 0.
class Channel {
public:
    explicit Channel(std::uint32_t mask) : mask_(mask) {
        while (mask != 0 && (mask & 1) == 0) {
            mask >>= 1;
            ++shift_;
        }
        scale_ = static_cast<std::uint32_t>(256 / (std::uint64_t{mask} + 1));
    }
    std::uint32_t operator()(std::uint32_t pixel) const {
        return ((pixel & mask_) >> shift_) * scale_;
    }

private:
    std::uint32_t mask_;
    std::uint32_t shift_ = 0;
    std::uint32_t scale_ = 0;
};

// The palette as pixels. Indices past its end are black, which the root
// shows for nothing; Qt paints there whatever memory follows its colour
// table, except in a 1-bit picture, whose missing second colour is white.
void ReadPalette(const unsigned char* data, const BmpLayout& layout, std::uint32_t (&table)[256]) {
    for (std::uint32_t i = 0; i < 256; ++i) table[i] = kOpaque;
    const unsigned char* entry = data + layout.palette;
    for (std::uint32_t i = 0; i < layout.colours; ++i, entry += layout.paletteEntry)
        table[i] = kOpaque | std::uint32_t{entry[2]} << 16 | std::uint32_t{entry[1]} << 8 | entry[0];
    if (layout.bits == 1 && layout.colours < 2) table[1] = 0xffffffff;
}

void IndexedRow(const unsigned char* in, std::uint32_t bits, const std::uint32_t (&table)[256],
                std::uint32_t* out, std::uint32_t width) {
    if (bits == 8) {
        for (std::uint32_t x = 0; x < width; ++x) out[x] = table[in[x]];
    } else if (bits == 4) {
        for (std::uint32_t x = 0; x < width; ++x)
            out[x] = table[(in[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0f];
    } else {
        for (std::uint32_t x = 0; x < width; ++x) out[x] = table[(in[x / 8] >> (7 - x % 8)) & 1];
    }
}

// Blue, green, red: one unaligned load a pixel, but the last, whose fourth
// byte may lie past the end of the file.
void Row24(const unsigned char* in, std::uint32_t* out, std::uint32_t width) {
    const std::uint32_t loaded = width - 1;
    for (std::uint32_t x = 0; x < loaded; ++x) out[x] = kOpaque | Le32(in + 3 * x);
    const unsigned char* last = in + 3 * loaded;
    out[loaded] = kOpaque | std::uint32_t{last[2]} << 16 | std::uint32_t{last[1]} << 8 | last[0];
}

void Row32Opaque(const unsigned char* in, std::uint32_t* out, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x) out[x] = kOpaque | Le32(in + 4 * x);
}

// Blue, green, red, alpha, drawn over black.
void Row32Alpha(const unsigned char* in, std::uint32_t* out, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x) {
        const unsigned char* p = in + 4 * x;
        const std::uint32_t a = p[3];
        out[x] = kOpaque | OverBlack(p[2], a) << 16 | OverBlack(p[1], a) << 8 | OverBlack(p[0], a);
    }
}

struct Masks {
    explicit Masks(const BmpLayout& layout)
        : red(layout.redMask), green(layout.greenMask), blue(layout.blueMask),
          alpha(layout.alphaMask), hasAlpha(layout.alphaMask != 0) {}
    std::uint32_t Pixel(std::uint32_t value) const {
        const std::uint32_t r = red(value);
        const std::uint32_t g = green(value);
        const std::uint32_t b = blue(value);
        if (!hasAlpha) return kOpaque | r << 16 | g << 8 | b;
        const std::uint32_t a = alpha(value);
        return kOpaque | OverBlack(r, a) << 16 | OverBlack(g, a) << 8 | OverBlack(b, a);
    }
    Channel red, green, blue, alpha;
    bool hasAlpha;
};

void MaskedRow(const unsigned char* in, std::uint32_t bits, const Masks& masks, std::uint32_t* out,
               std::uint32_t width) {
    if (bits == 16) {
        for (std::uint32_t x = 0; x < width; ++x) out[x] = masks.Pixel(Le16(in + 2 * x));
    } else {
        for (std::uint32_t x = 0; x < width; ++x) out[x] = masks.Pixel(Le32(in + 4 * x));
    }
}

// The stream as ReadBmpHeaders walked it: runs and literal runs filling
// each line from the bottom one up, no jumps; what runs on past the end of
// a line into the padding is dropped. Checked again as it goes, so a layout
// of other bytes cannot lead it outside these.
bool DecodeRle(const unsigned char* data, std::size_t size, const BmpLayout& layout,
               const std::uint32_t (&table)[256], std::uint32_t* out, std::size_t outStride) {
    const bool fourBits = layout.compression == BmpCompression::Rle4;
    const std::uint32_t width = layout.width;
    const std::uint32_t height = layout.height;
    const std::uint32_t room = (width + 3) / 4 * 4;
    std::size_t at = layout.pixels;
    std::uint32_t x = 0;
    std::uint32_t y = 0;  // from the bottom
    std::uint32_t* row = out + std::size_t{height - 1} * outStride;
    for (;;) {
        if (at > size || size - at < 2) return false;
        const unsigned count = data[at];
        const unsigned value = data[at + 1];
        at += 2;
        if (count > 0) {
            if (y >= height || room - x < count) return false;
            const std::uint32_t first = table[fourBits ? value >> 4 : value];
            const std::uint32_t second = table[fourBits ? value & 0x0f : value];
            const std::uint32_t shown = std::min(count, width - std::min(x, width));
            for (std::uint32_t i = 0; i < shown; ++i) row[x + i] = i % 2 == 0 ? first : second;
            x += count;
            continue;
        }
        if (value == 0) {  // end of line
            if (x < width) return false;
            x = 0;
            if (++y < height) row -= outStride;
            if (y > height) return false;
        } else if (value == 1) {  // end of bitmap
            return (y == height && x == 0) || (y + 1 == height && x >= width);
        } else if (value == 2) {  // a jump, which the headers' reading refuses
            return false;
        } else {  // `value` pixels one by one, padded to 16 bits
            const std::size_t bytes = fourBits ? (value + 1) / 2 : value;
            const std::size_t padded = (bytes + 1) / 2 * 2;
            if (y >= height || room - x < value || size - at < padded) return false;
            const std::uint32_t shown = std::min(value, width - std::min(x, width));
            for (std::uint32_t i = 0; i < shown; ++i) {
                const unsigned index =
                    fourBits ? (data[at + i / 2] >> (i % 2 == 0 ? 4 : 0)) & 0x0f : data[at + i];
                row[x + i] = table[index];
            }
            x += value;
            at += padded;
        }
    }
}

// The layout's claims on the bytes, each in 64 bits.
bool Fits(std::size_t size, const BmpLayout& layout, std::size_t outStride) {
    if (layout.width == 0 || layout.height == 0 || outStride < layout.width) return false;
    const std::uint32_t bits = layout.bits;
    if (bits == 1 || bits == 4 || bits == 8) {
        if (layout.colours > (1u << bits) || layout.paletteEntry < 3 || layout.palette > size ||
            std::uint64_t{layout.colours} * layout.paletteEntry > size - layout.palette)
            return false;
    } else if (bits != 16 && bits != 24 && bits != 32) {
        return false;
    }
    if (layout.pixels > size) return false;
    if (layout.compression == BmpCompression::Rle8 || layout.compression == BmpCompression::Rle4)
        return bits == (layout.compression == BmpCompression::Rle8 ? 8u : 4u);
    const std::uint64_t rowBytes = (std::uint64_t{layout.width} * bits + 7) / 8;
    return layout.stride >= rowBytes && layout.height <= (size - layout.pixels) / layout.stride;
}

}  // namespace

bool DecodeBmp(const unsigned char* data, std::size_t size, const BmpLayout& layout,
               std::uint32_t* out, std::size_t outStridePixels) {
    if (!Fits(size, layout, outStridePixels)) return false;
    const std::uint32_t bits = layout.bits;
    std::uint32_t table[256];
    if (bits <= 8) ReadPalette(data, layout, table);
    if (layout.compression == BmpCompression::Rle8 || layout.compression == BmpCompression::Rle4)
        return DecodeRle(data, size, layout, table, out, outStridePixels);

    const bool defaultRgb = layout.redMask == 0x00ff0000 && layout.greenMask == 0x0000ff00 &&
                            layout.blueMask == 0x000000ff;
    const Masks masks(layout);
    const std::uint32_t width = layout.width;
    for (std::uint32_t r = 0; r < layout.height; ++r) {
        const unsigned char* in = data + layout.pixels + std::size_t{r} * layout.stride;
        const std::uint32_t y = layout.topDown ? r : layout.height - 1 - r;
        std::uint32_t* row = out + std::size_t{y} * outStridePixels;
        if (bits <= 8) {
            IndexedRow(in, bits, table, row, width);
        } else if (bits == 24) {
            Row24(in, row, width);
        } else if (bits == 32 && defaultRgb && layout.alphaMask == 0) {
            Row32Opaque(in, row, width);
        } else if (bits == 32 && defaultRgb && layout.alphaMask == 0xff000000) {
            Row32Alpha(in, row, width);
        } else {
            MaskedRow(in, bits, masks, row, width);
        }
    }
    return true;
}

}  // namespace vlmr
