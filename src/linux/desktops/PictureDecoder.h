#pragma once
// Decoding a picture file's bytes into pixels, for the X root setter: it
// decodes bitmaps itself and hands every other format to a decoder, which may
// live in a module loaded only when such a picture comes. Plain C++.
#include <cstddef>
#include <cstdint>
#include <string>

#include "PictureCheck.h"

namespace vlmr {

// Where a decoder writes the picture: memory it asks for once it knows the
// size, so the pixels can land where they are sent from.
class PixelTarget {
public:
    // Room for width x height pixels, row y at the result + y * stride
    // (in pixels); nullptr when there is none.
    virtual std::uint32_t* Room(std::uint32_t width, std::uint32_t height, std::size_t& stride) = 0;

protected:
    ~PixelTarget() = default;
};

class PictureDecoder {
public:
    virtual ~PictureDecoder() = default;
    // Decodes bytes that CheckPicture called whole, in the format it found,
    // into the target as 0xFFRRGGBB, the top row first, each pixel with
    // alpha drawn over black. false, and why not (English), when the picture
    // cannot be shown; then nothing that was written may be shown either.
    virtual bool Decode(const unsigned char* data, std::size_t size, PictureFormat format,
                        PixelTarget& target, std::string& why) = 0;
};

}  // namespace vlmr
