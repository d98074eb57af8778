#include "ShownPicture.h"

#include <algorithm>

#include "BoxShrink.h"

namespace vlmr {
namespace {

// The rows of a band, in pixels: 1 MiB, small enough to stay in the cache
// between the decoder's writing and the socket's reading.
constexpr std::uint32_t kBandPixels = 256 * 1024;

std::uint32_t Ceil(std::uint32_t value, std::uint32_t factor) { return (value + factor - 1) / factor; }

}  // namespace

// Room for a picture decoded whole, planned once its size is known.
class WholePicture final : public PixelTarget {
public:
    explicit WholePicture(ShownPicture& shown) : shown_(shown) {}
    std::uint32_t* Room(std::uint32_t width, std::uint32_t height, std::size_t& stride) override {
        shown_.Plan(width, height);
        shown_.memory_ = PixelMemory::Make(width, height);
        if (!shown_.memory_) return nullptr;
        stride = shown_.memory_->stride();
        return shown_.memory_->pixels();
    }

private:
    ShownPicture& shown_;
};

void ShownPicture::Plan(std::uint32_t width, std::uint32_t height) {
    layout_ = LayOut(style_, static_cast<int>(width), static_cast<int>(height), areaWidth_, areaHeight_);
    part_ = layout_.shown;
    kx_ = 1;
    ky_ = 1;
    if (layout_.Scaled()) {
        kx_ = BoxFactor(part_.width, layout_.target.width);
        ky_ = BoxFactor(part_.height, layout_.target.height);
    }
    // RENDER samples the sent pixels at the target's pixel centres; a block
    // of k pixels averaged into one keeps its centre.
    scaleX_ = part_.width / (static_cast<double>(kx_) * layout_.target.width);
    scaleY_ = part_.height / (static_cast<double>(ky_) * layout_.target.height);
    if (kx_ > 1 || ky_ > 1)
        layout_.shown = {0, 0, static_cast<int>(Ceil(static_cast<std::uint32_t>(part_.width), kx_)),
                         static_cast<int>(Ceil(static_cast<std::uint32_t>(part_.height), ky_))};
}

bool ShownPicture::Prepare(const PictureBytes& picture, PictureDecoder* others, std::uint32_t style, int areaWidth,
                           int areaHeight, std::string& why) {
    picture_ = &picture;
    style_ = style;
    areaWidth_ = areaWidth;
    areaHeight_ = areaHeight;
    bitmap_ = BandedBitmap(picture);
    if (bitmap_) {
        Plan(bitmap_->width, bitmap_->height);
        return true;
    }
    WholePicture whole(*this);
    if (!DecodePicture(picture, others, whole, why)) return false;
    if (!memory_) {
        why = "the decoder gave no picture";
        return false;
    }
    if (kx_ > 1 || ky_ > 1)
        BoxShrink(memory_->pixels() + static_cast<std::size_t>(part_.y) * memory_->stride() +
                      static_cast<std::size_t>(part_.x),
                  memory_->stride(), static_cast<std::uint32_t>(part_.width), static_cast<std::uint32_t>(part_.height),
                  kx_, ky_, memory_->pixels(), memory_->stride());
    return true;
}

bool ShownPicture::Put(PixelUpload& upload, Drawable drawable, GC gc, int x, int y) {
    if (bitmap_) return PutBands(upload, drawable, gc, x, y);
    return upload.Put(*memory_, layout_.shown, drawable, gc, x, y);
}

bool ShownPicture::PutBands(PixelUpload& upload, Drawable drawable, GC gc, int x, int y) {
    const std::uint32_t width = bitmap_->width;
    // Whole blocks of ky rows a band, so each band averages down on its own.
    const std::uint32_t rows = std::max<std::uint32_t>(1, kBandPixels / (width * ky_)) * ky_;
    const auto shownRows = static_cast<std::uint32_t>(part_.height);
    const std::unique_ptr<PixelMemory> band = PixelMemory::Make(width, std::min(rows, shownRows));
    if (!band) return false;
    for (std::uint32_t first = 0; first < shownRows; first += rows) {
        const std::uint32_t count = std::min(rows, shownRows - first);
        if (!DecodeBitmapRows(*picture_, *bitmap_, static_cast<std::uint32_t>(part_.y) + first, count, band->pixels(),
                              band->stride()))
            return false;
        Rect sent{part_.x, 0, part_.width, static_cast<int>(count)};
        if (kx_ > 1 || ky_ > 1) {
            BoxShrink(band->pixels() + part_.x, band->stride(), static_cast<std::uint32_t>(part_.width), count, kx_,
                      ky_, band->pixels(), band->stride());
            sent = {0, 0, layout_.shown.width, static_cast<int>(Ceil(count, ky_))};
        }
        if (!upload.Put(*band, sent, drawable, gc, x, y + static_cast<int>(first / ky_))) return false;
    }
    return true;
}

}  // namespace vlmr
