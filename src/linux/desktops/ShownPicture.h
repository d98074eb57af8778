#pragma once
// The part of a picture that a style shows in an area, ready to be sent to
// the X server: at its own size, or averaged down by whole factors when it
// is much larger than its place. An uncompressed bitmap is decoded a band
// of rows at a time as it is sent, into memory that stays in the cache;
// anything else is decoded whole first.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// Before Xlib, whose macros (None, Status) would break them.
#include "BmpLayout.h"
#include "PictureDecoder.h"
#include "RootLayout.h"
#include "RootPicture.h"

#include "PixelUpload.h"

namespace vlmr {

class ShownPicture {
public:
    // Plans the picture in the style over an area of that size and, but for
    // a bitmap sent in bands, decodes it. false, and why, when it cannot be
    // shown.
    bool Prepare(const PictureBytes& picture, PictureDecoder* others, std::uint32_t style, int areaWidth,
                 int areaHeight, std::string& why);

    // Where it goes in the area, and the size of what is sent (`shown`,
    // smaller than in the picture when averaged down).
    const RootLayout& layout() const { return layout_; }
    // The scale from the target's pixels to those sent, for RENDER.
    double ScaleX() const { return scaleX_; }
    double ScaleY() const { return scaleY_; }

    // Sends it to (x, y) of a drawable of the screen's depth; false, with
    // perhaps part of it sent, when memory ran out or the file changed.
    bool Put(PixelUpload& upload, Drawable drawable, GC gc, int x, int y);

private:
    void Plan(std::uint32_t width, std::uint32_t height);
    bool PutBands(PixelUpload& upload, Drawable drawable, GC gc, int x, int y);

    const PictureBytes* picture_ = nullptr;
    std::uint32_t style_ = 0;
    int areaWidth_ = 0;
    int areaHeight_ = 0;
    RootLayout layout_;
    Rect part_;  // of the picture, before averaging
    std::uint32_t kx_ = 1;
    std::uint32_t ky_ = 1;
    double scaleX_ = 1;
    double scaleY_ = 1;
    std::optional<BmpLayout> bitmap_;      // sent in bands
    std::unique_ptr<PixelMemory> memory_;  // or decoded whole, and averaged down in place

    friend class WholePicture;
};

}  // namespace vlmr
