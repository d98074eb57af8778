#include "PictureCheck.h"

#include "BmpLayout.h"
#include "PictureBytes.h"

namespace vlmr {
namespace {

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

// ---------------------------------------------------------------- BMP

// The headers say where every pixel is; the bitmap decoder reads by the
// same reading.
PictureVerdict CheckBmp(const unsigned char* data, std::size_t size) {
    PictureVerdict verdict;
    verdict.format = PictureFormat::Bmp;
    BmpLayout layout;
    const char* problem = ReadBmpHeaders(data, size, layout);
    verdict.width = layout.width;
    verdict.height = layout.height;
    return problem ? Refused(verdict, problem) : Whole(verdict);
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
            if (const char* problem = PictureSizeProblem(width, height))
                return Refused(verdict, problem);
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
    if (const char* problem = PictureSizeProblem(width, height))
        return Refused(verdict, problem);
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
            if (const char* problem = PictureSizeProblem(verdict.width, verdict.height))
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
            if (const char* problem = PictureSizeProblem(width, height))
                return Refused(verdict, problem);
            first = false;
        }
        if (lossy || lossless || TypeIs(bytes, at, "ANMF")) image = true;
        at = body + length + (length & 1);  // chunks are padded to an even length
    }
    if (first || !image) return Refused(verdict, "the WebP has no image data");
    return Whole(verdict);
}

}  // namespace

const char* PictureSizeProblem(std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0) return "the picture has no pixels";
    if (width > kMaxPicturePixels || height > kMaxPicturePixels ||
        width * height > kMaxPicturePixels)
        return "the picture is larger than 16384 x 16384 pixels";
    return nullptr;
}

PictureVerdict CheckPicture(const unsigned char* data, std::size_t size) {
    const Bytes bytes(data, size);
    if (bytes.Starts("BM")) return CheckBmp(data, size);
    if (bytes.Starts("\x89PNG\r\n\x1a\n")) return CheckPng(bytes);
    if (bytes.Starts("GIF87a") || bytes.Starts("GIF89a")) return CheckGif(bytes);
    if (bytes.Starts("\xff\xd8\xff")) return CheckJpeg(bytes);
    if (bytes.Starts("RIFF") && bytes.Has(8, 4) && TypeIs(bytes, 8, "WEBP")) return CheckWebp(bytes);
    PictureVerdict verdict;
    verdict.problem = "the file is not a BMP, PNG, GIF, JPEG or WebP picture";
    return verdict;
}

}  // namespace vlmr
