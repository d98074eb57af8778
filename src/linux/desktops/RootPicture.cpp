#include "RootPicture.h"

#include "BmpReader.h"
#include "linux/RegularFile.h"

#include <string>

namespace vlmr {
namespace {

const char* FormatName(PictureFormat format) {
    switch (format) {
    case PictureFormat::Bmp: return "BMP";
    case PictureFormat::Png: return "PNG";
    case PictureFormat::Gif: return "GIF";
    case PictureFormat::Jpeg: return "JPEG";
    case PictureFormat::Webp: return "WebP";
    case PictureFormat::Unknown: break;
    }
    return "unknown";
}

constexpr char kChanged[] = "the picture's file changed or failed while it was read";

// The layout of a mapped bitmap, or why not; `problem` is kChanged when the file shrank.
BmpLayout ReadLayout(const PictureBytes& picture, const char*& problem) {
    BmpLayout layout;
    const unsigned char* data = picture.data();
    const std::size_t size = picture.size();
    if (!ReadMapped([&] { problem = ReadBmpHeaders(data, size, layout); })) problem = kChanged;
    return layout;
}

}  // namespace

std::optional<PictureBytes> ReadPicture(const std::string& file, std::string& why) {
    PictureBytes picture;
    // Opened once and bounded, without waiting on a FIFO or a device.
    if (const Status mapped = picture.mapped_.Map(file, kMaxPictureBytes); !mapped) {
        why = mapped.description;
        return std::nullopt;
    }
    const unsigned char* data = picture.mapped_.data();
    const std::size_t size = picture.mapped_.size();
    bool bitmap = false;
    PictureVerdict verdict;
    if (!ReadMapped([&] {
            bitmap = size >= 2 && data[0] == 'B' && data[1] == 'M';
            if (bitmap) verdict = CheckPicture(data, size);
        })) {
        why = kChanged;
        return std::nullopt;
    }
    if (!bitmap) {
        picture.mapped_ = MappedFile();
        if (const auto read = ReadRegularFile(file, kMaxPictureBytes, picture.bytes_); !read) {
            why = read.description;
            return std::nullopt;
        }
        verdict = CheckPicture(picture.copied(), picture.bytes_.size());
    }
    if (!verdict.whole) {
        why = verdict.problem;
        return std::nullopt;
    }
    picture.verdict_ = verdict;
    return picture;
}

std::optional<BmpLayout> BandedBitmap(const PictureBytes& picture) {
    if (picture.verdict().format != PictureFormat::Bmp) return std::nullopt;
    const char* problem = nullptr;
    const BmpLayout layout = ReadLayout(picture, problem);
    if (problem != nullptr || layout.compression == BmpCompression::Rle8 ||
        layout.compression == BmpCompression::Rle4)
        return std::nullopt;
    return layout;
}

bool DecodeBitmapRows(const PictureBytes& picture, const BmpLayout& layout, std::uint32_t first,
                      std::uint32_t count, std::uint32_t* out, std::size_t stride) {
    if (first > layout.height || count > layout.height - first) return false;
    // The band as a bitmap of its own, whose rows start further into the file.
    BmpLayout band = layout;
    band.height = count;
    const std::uint32_t fileRow = layout.topDown ? first : layout.height - first - count;
    band.pixels = layout.pixels + std::size_t{fileRow} * layout.stride;
    bool decoded = false;
    return ReadMapped([&] { decoded = DecodeBmp(picture.data(), picture.size(), band, out, stride); }) && decoded;
}

// Only a picture that is whole in the file is decoded, and only a decode
// that is done is shown: anything else could put memory that nobody wrote
// on the root, where every X client can read it.
bool DecodePicture(const PictureBytes& picture, PictureDecoder* others, PixelTarget& target, std::string& why) {
    const PictureFormat format = picture.verdict().format;
    if (format != PictureFormat::Bmp) {
        if (others == nullptr) {
            why = std::string("no decoder for ") + FormatName(format) + " pictures is at hand";
            return false;
        }
        return others->Decode(picture.data(), picture.size(), format, target, why);
    }
    const char* problem = nullptr;
    const BmpLayout layout = ReadLayout(picture, problem);
    if (problem != nullptr) {
        why = problem;
        return false;
    }
    std::size_t stride = 0;
    std::uint32_t* pixels = target.Room(layout.width, layout.height, stride);
    if (pixels == nullptr) {
        why = "there is no memory for the decoded picture";
        return false;
    }
    bool decoded = false;
    if (!ReadMapped([&] { decoded = DecodeBmp(picture.data(), picture.size(), layout, pixels, stride); })) {
        why = kChanged;
        return false;
    }
    if (!decoded) why = "the bitmap cannot be decoded";
    return decoded;
}

}  // namespace vlmr
