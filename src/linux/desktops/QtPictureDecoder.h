#pragma once
// The toolkit's decoders for the formats the X root setter does not decode
// itself: PNG, JPEG, GIF and WebP (the last a plug-in,
// qt6-image-formats-plugins). Needs no running application.
#include <memory>

#include "PictureDecoder.h"

namespace vlmr {

class QtPictureDecoder final : public PictureDecoder {
public:
    bool Decode(const unsigned char* data, std::size_t size, PictureFormat format, PixelTarget& target,
                std::string& why) override;
};

}  // namespace vlmr
