#include "BmpLayout.h"

#include "PictureBytes.h"
#include "PictureCheck.h"

#include <algorithm>

namespace vlmr {
namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint64_t kFileHeader = 14;
// Masks follow the first 40 bytes of the info header: inside a larger
// header, after a 40-byte one.
constexpr std::uint64_t kMasks = kFileHeader + 40;

// Walks a run-length stream to its end-of-bitmap marker. Qt leaves every
// pixel the stream does not write as the allocator left it, so a whole
// stream writes every pixel: each line filled to its end before the next,
// no skips, and the last line done when the stream ends. A line may run on
// into the padding of Qt's line, to a multiple of 4 pixels, where nothing
// shows (ImageMagick writes lines that long); further on it would spill
// into another line.
const char* WalkRle(const Bytes& bytes, std::uint64_t at, std::uint64_t width,
                    std::uint64_t height, bool fourBits) {
    const std::uint64_t room = (width + 3) / 4 * 4;
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    for (;;) {
        if (!bytes.Has(at, 2)) return "the run-length data ends before its end marker";
        const unsigned count = bytes.At(at);
        const unsigned value = bytes.At(at + 1);
        at += 2;
        if (count > 0) {  // a run of one value
            if (y >= height || room - x < count) return "a run goes past the end of a line";
            x += count;
            continue;
        }
        switch (value) {
        case 0:  // end of line
            if (x < width) return "a line of the run-length data leaves pixels unset";
            x = 0;
            ++y;
            if (y > height) return "the run-length data has more lines than the picture";
            break;
        case 1:  // end of bitmap
            if ((y == height && x == 0) || (y + 1 == height && x >= width)) return nullptr;
            return "the run-length data ends before the last pixel";
        case 2:  // a jump over pixels, which would leave them unset
            return "the run-length data skips pixels";
        default: {  // `value` pixels given one by one, padded to 16 bits
            if (y >= height || room - x < value) return "a run goes past the end of a line";
            const std::uint64_t dataBytes = fourBits ? (value + 1) / 2 : value;
            const std::uint64_t padded = (dataBytes + 1) / 2 * 2;
            if (!bytes.Has(at, padded)) return "the run-length data ends inside a run";
            at += padded;
            x += value;
            break;
        }
        }
    }
}

// The channels as Qt's reader takes them: a 16-bit pixel without bit
// fields is 5-5-5; a 32-bit one is 8-8-8, with alpha only when a large
// header names the usual alpha byte.
void ReadMasks(const Bytes& bytes, std::uint64_t headerSize, std::uint32_t compression,
               BmpLayout& layout) {
    const bool alphaField = headerSize >= 56;
    if (compression == kBitFields) {
        layout.redMask = bytes.Le32(kMasks);
        layout.greenMask = bytes.Le32(kMasks + 4);
        layout.blueMask = bytes.Le32(kMasks + 8);
        layout.alphaMask = alphaField ? bytes.Le32(kMasks + 12) : 0;
    } else if (layout.bits == 16) {
        layout.redMask = 0x7c00;
        layout.greenMask = 0x03e0;
        layout.blueMask = 0x001f;
    } else if (layout.bits == 32) {
        layout.redMask = 0x00ff0000;
        layout.greenMask = 0x0000ff00;
        layout.blueMask = 0x000000ff;
        if (alphaField && bytes.Le32(kMasks + 12) == 0xff000000) layout.alphaMask = 0xff000000;
    }
}

}  // namespace

const char* ReadBmpHeaders(const unsigned char* data, std::size_t size, BmpLayout& layout) {
    const Bytes bytes(data, size);
    layout = BmpLayout{};
    if (!bytes.Starts("BM")) return "the file is not a BMP picture";
    if (!bytes.Has(0, kFileHeader + 4)) return "the bitmap's header is cut off";
    const std::uint64_t offset = bytes.Le32(10);
    const std::uint64_t headerSize = bytes.Le32(kFileHeader);
    const bool core = headerSize == 12;  // OS/2 1.x: 16-bit sizes, 3-byte palette entries
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124)
        return "the bitmap's header is of an unknown kind";
    if (!bytes.Has(kFileHeader, headerSize)) return "the bitmap's header is cut off";

    const std::uint64_t info = kFileHeader + 4;
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t compression = kRgb;
    std::uint64_t colours = 0;
    if (core) {
        width = bytes.Le16(info);
        height = bytes.Le16(info + 2);
        // Qt reads these as signed: a top bit would turn the picture over.
        if (width >= 0x8000 || height >= 0x8000) return "the bitmap's size is out of range";
        planes = bytes.Le16(info + 4);
        layout.bits = bytes.Le16(info + 6);
    } else {
        const auto signedWidth = static_cast<std::int32_t>(bytes.Le32(info));
        const auto signedHeight = static_cast<std::int32_t>(bytes.Le32(info + 4));
        if (signedWidth <= 0) return "the bitmap's width is not positive";
        width = static_cast<std::uint64_t>(signedWidth);
        layout.topDown = signedHeight < 0;
        // In 64 bits, so the smallest 32-bit number turns over without overflow.
        const std::int64_t rows = signedHeight;
        height = static_cast<std::uint64_t>(layout.topDown ? -rows : rows);
        planes = bytes.Le16(info + 8);
        layout.bits = bytes.Le16(info + 10);
        compression = bytes.Le32(info + 12);
        colours = bytes.Le32(info + 28);
    }
    layout.width = static_cast<std::uint32_t>(width);
    layout.height = static_cast<std::uint32_t>(height);
    if (const char* problem = PictureSizeProblem(width, height)) return problem;
    if (planes != 1) return "the bitmap has more than one plane";

    const std::uint32_t bits = layout.bits;
    const bool indexed = bits == 1 || bits == 4 || bits == 8;
    if (!indexed && bits != 16 && bits != 24 && bits != 32)
        return "the bitmap has an unknown number of bits a pixel";
    const bool rle = compression == kRle8 || compression == kRle4;
    if (compression == kRle8 && bits != 8) return "RLE8 needs 8 bits a pixel";
    if (compression == kRle4 && bits != 4) return "RLE4 needs 4 bits a pixel";
    if (compression == kBitFields && bits != 16 && bits != 32)
        return "bit fields need 16 or 32 bits a pixel";
    if (compression > kBitFields) return "the bitmap's compression is unknown";
    if (rle && layout.topDown) return "a run-length bitmap cannot be top-down";
    layout.compression = static_cast<BmpCompression>(compression);

    // What follows the header: the three masks of a 40-byte header with bit
    // fields, then the palette of an indexed picture.
    std::uint64_t tables = kFileHeader + headerSize;
    if (compression == kBitFields && headerSize == 40) tables += 12;
    if (indexed) {
        const std::uint64_t most = std::uint64_t{1} << bits;
        if (colours > most) return "the bitmap's palette is too large";
        layout.palette = static_cast<std::size_t>(tables);
        layout.colours = static_cast<std::uint32_t>(colours == 0 ? most : colours);
        layout.paletteEntry = core ? 3 : 4;
        tables += std::uint64_t{layout.colours} * layout.paletteEntry;
    }
    if (tables > bytes.size()) return "the bitmap's palette is cut off";
    if (offset < kFileHeader + headerSize || offset > bytes.size())
        return "the bitmap's pixels are not where its header says";
    ReadMasks(bytes, headerSize, compression, layout);
    // Qt reads on from the end of the palette when the offset points before
    // it, so that is where the pixels are.
    const std::uint64_t pixels = std::max(offset, tables);
    layout.pixels = static_cast<std::size_t>(pixels);

    if (rle) return WalkRle(bytes, pixels, width, height, compression == kRle4);
    // Each line padded to 32 bits. Both factors are bounded above (sides to
    // 2^28, 32 bits a pixel), so the product fits 64 bits.
    const std::uint64_t stride = (width * bits + 31) / 32 * 4;
    layout.stride = static_cast<std::size_t>(stride);
    if (stride * height > bytes.size() - pixels)
        return "the file ends before the bitmap's last pixel";
    return nullptr;
}

std::optional<BmpLayout> ReadBmpLayout(const unsigned char* data, std::size_t size,
                                       std::string& why) {
    BmpLayout layout;
    if (const char* problem = ReadBmpHeaders(data, size, layout)) {
        why = problem;
        return std::nullopt;
    }
    return layout;
}

}  // namespace vlmr
