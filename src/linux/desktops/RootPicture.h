#pragma once
// The picture of a root-window wallpaper, from its file to its pixels: read
// once and bounded, decoded only when the file holds every pixel, bitmaps by
// our own decoder, other formats by the decoder given. Plain C++.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "BmpLayout.h"
#include "MappedFile.h"
#include "PictureCheck.h"
#include "PictureDecoder.h"

namespace vlmr {

// A picture file's bytes that the picture check found whole. A bitmap is
// read where the file lies in the page cache, with no copy: our decoder
// stays inside the bytes it is given whatever they become. Other formats go
// to decoders that must see the very bytes the check saw, so they are read
// into memory of their own.
class PictureBytes {
public:
    const unsigned char* data() const { return mapped_.data() != nullptr ? mapped_.data() : copied(); }
    std::size_t size() const { return mapped_.data() != nullptr ? mapped_.size() : bytes_.size(); }
    const PictureVerdict& verdict() const { return verdict_; }

private:
    friend std::optional<PictureBytes> ReadPicture(const std::string& file, std::string& why);
    const unsigned char* copied() const { return reinterpret_cast<const unsigned char*>(bytes_.data()); }

    MappedFile mapped_;
    std::string bytes_;
    PictureVerdict verdict_;
};

// The file's bytes; nullopt and why not when it is no picture we show.
std::optional<PictureBytes> ReadPicture(const std::string& file, std::string& why);

// The layout of a bitmap that can be decoded a band of rows at a time: one
// whose rows lie uncompressed in the file. nullopt for anything else.
std::optional<BmpLayout> BandedBitmap(const PictureBytes& picture);
// Decodes rows [first, first + count) of such a bitmap, the top row 0, to
// out, row y at out + (y - first) * stride; false when the file changed.
bool DecodeBitmapRows(const PictureBytes& picture, const BmpLayout& layout, std::uint32_t first,
                      std::uint32_t count, std::uint32_t* out, std::size_t stride);

// Decodes the whole picture into the target: bitmaps ourselves, anything
// else with `others`, which may be nullptr (then only bitmaps are shown).
// false, and why not, when the picture cannot be shown.
bool DecodePicture(const PictureBytes& picture, PictureDecoder* others, PixelTarget& target, std::string& why);

}  // namespace vlmr
