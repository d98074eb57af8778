#pragma once
// The style code the boot run hands over: Stretch keeps the picture's
// proportions when the user asked for that; Center and Tile never scale,
// so they have no proportions to keep.
#include <cstdint>
#include <string>

#include "platform/WallpaperService.h"
#include "store/Options.h"

namespace vlmr {

inline std::int32_t ProportionedStyle(std::int32_t code, Proportions proportions) {
    if (code != WPSTYLE_STRETCH) return code;
    switch (proportions) {
    case Proportions::Fill: return WPSTYLE_CROPTOFIT;
    case Proportions::Fit: return WPSTYLE_KEEPASPECT;
    case Proportions::Stretch: break;
    }
    return code;
}

// What the run log adds after the style word; nothing for a plain stretch.
inline std::string ProportionsNote(Proportions proportions) {
    switch (proportions) {
    case Proportions::Fill: return ", proportions Fill (the screen filled, the picture cropped)";
    case Proportions::Fit: return ", proportions Fit (the picture inside, with bars)";
    case Proportions::Stretch: break;
    }
    return {};
}

}  // namespace vlmr
