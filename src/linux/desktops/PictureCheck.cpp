#include "PictureCheck.h"

#include <cstring>

namespace vlmr {
namespace {

// Bounds-checked reads over the file's bytes; every offset is checked
// against the size before use, in 64 bits, so no sum can wrap.
class Bytes {
public:
    Bytes(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::uint64_t size() const { return size_; }
    bool Has(std::uint64_t at, std::uint64_t count) const {
        return at <= size_ && count <= size_ - at;
    }
    unsigned At(std::uint64_t at) const { return data_[at]; }
    std::uint32_t Le16(std::uint64_t at) const { return At(at) | At(at + 1) << 8; }
    std::uint32_t Le32(std::uint64_t at) const {
        return Le16(at) | static_cast<std::uint32_t>(Le16(at + 2)) << 16;
    }
    std::uint32_t Be16(std::uint64_t at) const { return At(at) << 8 | At(at + 1); }
    std::uint32_t Be32(std::uint64_t at) const {
        return static_cast<std::uint32_t>(Be16(at)) << 16 | Be16(at + 2);
    }
    bool Starts(const char* text) const {
        const std::size_t n = std::strlen(text);
        return n <= size_ && std::memcmp(data_, text, n) == 0;
    }

private:
    const unsigned char* data_;
    std::size_t size_;
};

PictureVerdict Refused(PictureVerdict verdict, const char* problem) {
    verdict.whole = false;
    verdict.problem = problem;
    return verdict;
}

PictureVerdict Whole(PictureVerdict verdict) {
    verdict.whole = true;
    verdict.problem = "";
    return verdict;
}

// Zero or past the bound: nothing to show, or more than is ever decoded.
const char* SizeProblem(std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0) return "the picture has no pixels";
    if (width > kMaxPicturePixels || height > kMaxPicturePixels ||
        width * height > kMaxPicturePixels)
        return "the picture is larger than 16384 x 16384 pixels";
    return nullptr;
}

// ---------------------------------------------------------------- BMP

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint64_t kFileHeader = 14;

// Walks a run-length stream to its end-of-bitmap marker. Qt leaves every
// pixel the stream does not write as the allocator left it, so a whole
// stream writes every pixel: each line filled to its end before the next,
// no skips, and the last line done when the stream ends.
const char* WalkRle(const Bytes& bytes, std::uint64_t at, std::uint64_t width,
                    std::uint64_t height, bool fourBits) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    for (;;) {
        if (!bytes.Has(at, 2)) return "the run-length data ends before its end marker";
        const unsigned count = bytes.At(at);
        const unsigned value = bytes.At(at + 1);
        at += 2;
        if (count > 0) {  // a run of one value
            if (y >= height || width - x < count) return "a run goes past the end of a line";
            x += count;
            continue;
        }
        switch (value) {
        case 0:  // end of line
            if (x != width) return "a line of the run-length data leaves pixels unset";
            x = 0;
            ++y;
            if (y > height) return "the run-length data has more lines than the picture";
            break;
        case 1:  // end of bitmap
            if ((y == height && x == 0) || (y + 1 == height && x == width)) return nullptr;
            return "the run-length data ends before the last pixel";
        case 2:  // a jump over pixels, which would leave them unset
            return "the run-length data skips pixels";
        default: {  // `value` pixels given one by one, padded to 16 bits
            if (y >= height || width - x < value) return "a run goes past the end of a line";
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

PictureVerdict CheckBmp(const Bytes& bytes) {
    PictureVerdict verdict;
    verdict.format = PictureFormat::Bmp;
    if (!bytes.Has(0, kFileHeader + 4)) return Refused(verdict, "the bitmap's header is cut off");
    const std::uint64_t offset = bytes.Le32(10);
    const std::uint64_t headerSize = bytes.Le32(kFileHeader);
    const bool core = headerSize == 12;  // OS/2 1.x: 16-bit sizes, 3-byte palette entries
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124)
        return Refused(verdict, "the bitmap's header is of an unknown kind");
    if (!bytes.Has(kFileHeader, headerSize))
        return Refused(verdict, "the bitmap's header is cut off");

    const std::uint64_t info = kFileHeader + 4;
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    bool topDown = false;
    std::uint32_t planes = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = kRgb;
    std::uint64_t colours = 0;
    if (core) {
        width = bytes.Le16(info);
        height = bytes.Le16(info + 2);
        // Qt reads these as signed: a top bit would turn the picture over.
        if (width >= 0x8000 || height >= 0x8000)
            return Refused(verdict, "the bitmap's size is out of range");
        planes = bytes.Le16(info + 4);
        bits = bytes.Le16(info + 6);
    } else {
        const auto signedWidth = static_cast<std::int32_t>(bytes.Le32(info));
        const auto signedHeight = static_cast<std::int32_t>(bytes.Le32(info + 4));
        if (signedWidth <= 0) return Refused(verdict, "the bitmap's width is not positive");
        width = static_cast<std::uint64_t>(signedWidth);
        topDown = signedHeight < 0;
        // In 64 bits, so the smallest 32-bit number turns over without overflow.
        height = static_cast<std::uint64_t>(topDown ? -static_cast<std::int64_t>(signedHeight)
                                                    : signedHeight);
        planes = bytes.Le16(info + 8);
        bits = bytes.Le16(info + 10);
        compression = bytes.Le32(info + 12);
        colours = bytes.Le32(info + 28);
    }
    verdict.width = static_cast<std::uint32_t>(width);
    verdict.height = static_cast<std::uint32_t>(height);
    if (const char* problem = SizeProblem(width, height)) return Refused(verdict, problem);
    if (planes != 1) return Refused(verdict, "the bitmap has more than one plane");

    const bool indexed = bits == 1 || bits == 4 || bits == 8;
    if (!indexed && bits != 16 && bits != 24 && bits != 32)
        return Refused(verdict, "the bitmap has an unknown number of bits a pixel");
    const bool rle = compression == kRle8 || compression == kRle4;
    if (compression == kRle8 && bits != 8) return Refused(verdict, "RLE8 needs 8 bits a pixel");
    if (compression == kRle4 && bits != 4) return Refused(verdict, "RLE4 needs 4 bits a pixel");
    if (compression == kBitFields && bits != 16 && bits != 32)
        return Refused(verdict, "bit fields need 16 or 32 bits a pixel");
    if (compression > kBitFields) return Refused(verdict, "the bitmap's compression is unknown");
    if (rle && topDown) return Refused(verdict, "a run-length bitmap cannot be top-down");

    // What follows the header: the three masks of a 40-byte header with bit
    // fields, then the palette of an indexed picture.
    std::uint64_t tables = kFileHeader + headerSize;
    if (compression == kBitFields && headerSize == 40) tables += 12;
    if (indexed) {
        const std::uint64_t most = std::uint64_t{1} << bits;
        if (colours > most) return Refused(verdict, "the bitmap's palette is too large");
        tables += (colours == 0 ? most : colours) * (core ? 3 : 4);
    }
    if (tables > bytes.size()) return Refused(verdict, "the bitmap's palette is cut off");
    if (offset < kFileHeader + headerSize || offset > bytes.size())
        return Refused(verdict, "the bitmap's pixels are not where its header says");

    if (rle) {
        if (const char* problem = WalkRle(bytes, offset, width, height, compression == kRle4))
            return Refused(verdict, problem);
        return Whole(verdict);
    }
    // Each line padded to 32 bits. Both factors are bounded above (sides to
    // 2^28, 32 bits a pixel), so the product fits 64 bits.
    const std::uint64_t stride = (width * bits + 31) / 32 * 4;
    if (stride * height > bytes.size() - offset)
        return Refused(verdict, "the file ends before the bitmap's last pixel");
    return Whole(verdict);
}

// ---------------------------------------------------------------- PNG

bool IsChunkType(const Bytes& bytes, std::uint64_t at) {
    for (std::uint64_t i = 0; i < 4; ++i) {
        const unsigned c = bytes.At(at + i);
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

bool TypeIs(const Bytes& bytes, std::uint64_t at, const char* type) {
    for (std::uint64_t i = 0; i < 4; ++i)
        if (bytes.At(at + i) != static_cast<unsigned char>(type[i])) return false;
    return true;
}

PictureVerdict CheckPng(const Bytes& bytes) {
    PictureVerdict verdict;
    verdict.format = PictureFormat::Png;
    std::uint64_t at = 8;
    bool first = true;
    bool data = false;
    for (;;) {
        // length, type, the data, CRC
        if (!bytes.Has(at, 8)) return Refused(verdict, "the PNG ends before its IEND chunk");
        const std::uint64_t length = bytes.Be32(at);
        if (length > 0x7fffffff || !IsChunkType(bytes, at + 4))
            return Refused(verdict, "the PNG has a broken chunk");
        if (!bytes.Has(at + 8, length + 4)) return Refused(verdict, "a PNG chunk is cut off");
        const std::uint64_t body = at + 8;
        if (first) {
            if (!TypeIs(bytes, at + 4, "IHDR") || length != 13)
                return Refused(verdict, "the PNG does not start with its header");
            const std::uint64_t width = bytes.Be32(body);
            const std::uint64_t height = bytes.Be32(body + 4);
            verdict.width = static_cast<std::uint32_t>(width);
            verdict.height = static_cast<std::uint32_t>(height);
            if (const char* problem = SizeProblem(width, height)) return Refused(verdict, problem);
            first = false;
        } else if (TypeIs(bytes, at + 4, "IDAT")) {
            data = true;
        } else if (TypeIs(bytes, at + 4, "IEND")) {
            if (!data) return Refused(verdict, "the PNG has no image data");
            return Whole(verdict);
        }
        at = body + length + 4;
    }
}

// ---------------------------------------------------------------- GIF

// Data sub-blocks, each a length byte and that many bytes, up to an empty one.
bool SkipSubBlocks(const Bytes& bytes, std::uint64_t& at) {
    for (;;) {
        if (!bytes.Has(at, 1)) return false;
        const unsigned length = bytes.At(at);
        ++at;
        if (length == 0) return true;
        if (!bytes.Has(at, length)) return false;
        at += length;
    }
}

PictureVerdict CheckGif(const Bytes& bytes) {
    PictureVerdict verdict;
    verdict.format = PictureFormat::Gif;
    if (!bytes.Has(0, 13)) return Refused(verdict, "the GIF's header is cut off");
    const std::uint32_t width = bytes.Le16(6);
    const std::uint32_t height = bytes.Le16(8);
    verdict.width = width;
    verdict.height = height;
    if (const char* problem = SizeProblem(width, height)) return Refused(verdict, problem);
    std::uint64_t at = 13;
    const unsigned screenFlags = bytes.At(10);
    if (screenFlags & 0x80) at += std::uint64_t{3} << ((screenFlags & 7) + 1);
    bool image = false;
    for (;;) {
        if (!bytes.Has(at, 1)) return Refused(verdict, "the GIF ends before its trailer");
        const unsigned introducer = bytes.At(at);
        ++at;
        if (introducer == 0x3b) {
            if (!image) return Refused(verdict, "the GIF has no image");
            return Whole(verdict);
        }
        if (introducer == 0x21) {  // an extension: its label, then sub-blocks
            ++at;
            if (!SkipSubBlocks(bytes, at)) return Refused(verdict, "a GIF extension is cut off");
            continue;
        }
        if (introducer != 0x2c) return Refused(verdict, "the GIF has an unknown block");
        if (!bytes.Has(at, 10)) return Refused(verdict, "a GIF image descriptor is cut off");
        const unsigned flags = bytes.At(at + 8);
        at += 9;
        if (flags & 0x80) at += std::uint64_t{3} << ((flags & 7) + 1);
        if (!bytes.Has(at, 1)) return Refused(verdict, "a GIF colour table is cut off");
        if (bytes.At(at) > 11) return Refused(verdict, "a GIF image has a broken code size");
        ++at;
        if (!SkipSubBlocks(bytes, at)) return Refused(verdict, "the GIF's image data is cut off");
        image = true;
    }
}

// ---------------------------------------------------------------- JPEG

bool IsFrameMarker(unsigned marker) {
    // SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC)
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 &&
           marker != 0xcc;
}

PictureVerdict CheckJpeg(const Bytes& bytes) {
    PictureVerdict verdict;
    verdict.format = PictureFormat::Jpeg;
    std::uint64_t at = 2;  // after SOI
    bool frame = false;
    bool scan = false;
    for (;;) {
        if (!bytes.Has(at, 2) || bytes.At(at) != 0xff)
            return Refused(verdict, "the JPEG ends before its end marker");
        while (bytes.Has(at, 2) && bytes.At(at + 1) == 0xff) ++at;  // fill bytes
        if (!bytes.Has(at, 2)) return Refused(verdict, "the JPEG ends before its end marker");
        const unsigned marker = bytes.At(at + 1);
        at += 2;
        if (marker == 0xd9) {
            if (!scan) return Refused(verdict, "the JPEG has no image data");
            return Whole(verdict);
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) continue;  // no length
        if (marker == 0x00 || marker == 0xd8)
            return Refused(verdict, "the JPEG has a broken marker");
        if (!bytes.Has(at, 2)) return Refused(verdict, "a JPEG segment is cut off");
        const std::uint64_t length = bytes.Be16(at);
        if (length < 2 || !bytes.Has(at, length))
            return Refused(verdict, "a JPEG segment is cut off");
        if (IsFrameMarker(marker)) {
            if (length < 8) return Refused(verdict, "the JPEG's frame header is cut off");
            verdict.height = bytes.Be16(at + 3);
            verdict.width = bytes.Be16(at + 5);
            if (const char* problem = SizeProblem(verdict.width, verdict.height))
                return Refused(verdict, problem);
            frame = true;
        }
        at += length;
        if (marker != 0xda) continue;
        // Start of scan: entropy-coded data up to the next marker. Inside
        // it 0xff is followed by 0 (a stuffed byte), a restart or fill.
        if (!frame) return Refused(verdict, "the JPEG's scan comes before its frame");
        scan = true;
        for (;;) {
            if (!bytes.Has(at, 2)) return Refused(verdict, "the JPEG ends inside its image data");
            if (bytes.At(at) != 0xff) {
                ++at;
                continue;
            }
            const unsigned next = bytes.At(at + 1);
            if (next == 0x00 || (next >= 0xd0 && next <= 0xd7)) {
                at += 2;
            } else if (next == 0xff) {
                ++at;
            } else {
                break;  // a marker: the outer walk takes it
            }
        }
    }
}

// ---------------------------------------------------------------- WebP

// A RIFF file of chunks. Only the chunks inside the RIFF's own length count,
// and each must be there whole; the first says what the picture is and how
// large. The decoder (libwebp) reports a bitstream that ends early as a
// failure rather than painting what it never decoded, so whole chunks and a
// picture among them are what this check asks.
PictureVerdict CheckWebp(const Bytes& bytes) {
    PictureVerdict verdict;
    verdict.format = PictureFormat::Webp;
    const std::uint64_t end = 8 + std::uint64_t{bytes.Le32(4)};
    if (end < 12 || end > bytes.size()) return Refused(verdict, "the WebP file is cut off");
    std::uint64_t at = 12;
    bool first = true;
    bool image = false;
    while (at < end) {
        if (end - at < 8) return Refused(verdict, "a WebP chunk is cut off");
        const std::uint64_t length = bytes.Le32(at + 4);
        const std::uint64_t body = at + 8;
        if (length > end - body) return Refused(verdict, "a WebP chunk is cut off");
        const bool lossy = TypeIs(bytes, at, "VP8 ");
        const bool lossless = TypeIs(bytes, at, "VP8L");
        const bool extended = TypeIs(bytes, at, "VP8X");
        if (first) {
            std::uint64_t width = 0;
            std::uint64_t height = 0;
            if (lossy) {
                // A key frame: its tag's lowest bit clear, the start code, 14-bit sides.
                if (length < 10 || (bytes.At(body) & 1) != 0 || bytes.At(body + 3) != 0x9d ||
                    bytes.At(body + 4) != 0x01 || bytes.At(body + 5) != 0x2a)
                    return Refused(verdict, "the WebP's lossy header is broken");
                width = bytes.Le16(body + 6) & 0x3fff;
                height = bytes.Le16(body + 8) & 0x3fff;
            } else if (lossless) {
                if (length < 5 || bytes.At(body) != 0x2f)
                    return Refused(verdict, "the WebP's lossless header is broken");
                const std::uint32_t sides = bytes.Le32(body + 1);
                width = (sides & 0x3fff) + 1;
                height = (sides >> 14 & 0x3fff) + 1;
            } else if (extended) {
                if (length < 10) return Refused(verdict, "the WebP's extended header is cut off");
                // Canvas sides less one, 24 bits each.
                width = (bytes.Le32(body + 4) & 0xffffff) + 1;
                height = (bytes.Le32(body + 7) & 0xffffff) + 1;
            } else {
                return Refused(verdict, "the WebP does not start with a picture header");
            }
            verdict.width = static_cast<std::uint32_t>(width);
            verdict.height = static_cast<std::uint32_t>(height);
            if (const char* problem = SizeProblem(width, height)) return Refused(verdict, problem);
            first = false;
        }
        if (lossy || lossless || TypeIs(bytes, at, "ANMF")) image = true;
        at = body + length + (length & 1);  // chunks are padded to an even length
    }
    if (first || !image) return Refused(verdict, "the WebP has no image data");
    return Whole(verdict);
}

}  // namespace

PictureVerdict CheckPicture(const unsigned char* data, std::size_t size) {
    const Bytes bytes(data, size);
    if (bytes.Starts("BM")) return CheckBmp(bytes);
    if (bytes.Starts("\x89PNG\r\n\x1a\n")) return CheckPng(bytes);
    if (bytes.Starts("GIF87a") || bytes.Starts("GIF89a")) return CheckGif(bytes);
    if (bytes.Starts("\xff\xd8\xff")) return CheckJpeg(bytes);
    if (bytes.Starts("RIFF") && bytes.Has(8, 4) && TypeIs(bytes, 8, "WEBP")) return CheckWebp(bytes);
    PictureVerdict verdict;
    verdict.problem = "the file is not a BMP, PNG, GIF, JPEG or WebP picture";
    return verdict;
}

}  // namespace vlmr
