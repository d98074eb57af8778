#pragma once
// The lean course's decoder for pictures other than bitmaps: the toolkit
// module's image readers, loaded on the first such picture. Bitmaps never
// come here, so a boot run of a bitmap loads no toolkit at all.
#include <memory>
#include <string>

#include "PictureDecoder.h"
#include "ToolkitModule.h"

namespace vlmr {

class ToolkitPictureDecoder : public PictureDecoder {
public:
    explicit ToolkitPictureDecoder(ToolkitModule& toolkit) : toolkit_(toolkit) {}
    bool Decode(const unsigned char* data, std::size_t size, PictureFormat format, PixelTarget& target,
                std::string& why) override {
        if (!decoder_) decoder_ = toolkit_.Decoder();
        return decoder_->Decode(data, size, format, target, why);
    }

private:
    ToolkitModule& toolkit_;
    std::unique_ptr<PictureDecoder> decoder_;
};

}  // namespace vlmr
