#include "RootLayout.h"

#include <algorithm>
#include <cstdint>

#include "platform/WallpaperService.h"

namespace vlmr {
namespace {

// The middle of the picture in the area's proportions, at least one pixel
// each way: what fills the area once scaled.
Rect CropToArea(int width, int height, int areaWidth, int areaHeight) {
    const auto w = static_cast<std::int64_t>(width);
    const auto h = static_cast<std::int64_t>(height);
    if (w * areaHeight > h * areaWidth) {
        const int kept = static_cast<int>(std::max<std::int64_t>(1, (h * areaWidth + areaHeight / 2) / areaHeight));
        return {(width - kept) / 2, 0, kept, height};
    }
    const int kept = static_cast<int>(std::max<std::int64_t>(1, (w * areaHeight + areaWidth / 2) / areaWidth));
    return {0, (height - kept) / 2, width, kept};
}

// The largest rectangle of the picture's proportions inside the area,
// centred, at least one pixel each way.
Rect FitInArea(int width, int height, int areaWidth, int areaHeight) {
    const auto w = static_cast<std::int64_t>(width);
    const auto h = static_cast<std::int64_t>(height);
    int fitWidth = areaWidth;
    int fitHeight = areaHeight;
    if (w * areaHeight > h * areaWidth)
        fitHeight = static_cast<int>(std::max<std::int64_t>(1, (h * areaWidth + w / 2) / w));
    else
        fitWidth = static_cast<int>(std::max<std::int64_t>(1, (w * areaHeight + h / 2) / h));
    return {(areaWidth - fitWidth) / 2, (areaHeight - fitHeight) / 2, fitWidth, fitHeight};
}

}  // namespace

Rect Intersect(const Rect& a, const Rect& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top) return {};
    return {left, top, right - left, bottom - top};
}

RootLayout LayOut(std::uint32_t style, int width, int height, int areaWidth, int areaHeight) {
    const Rect whole{0, 0, width, height};
    const Rect area{0, 0, areaWidth, areaHeight};
    switch (style) {
    case WPSTYLE_CENTER: {
        // Centred by halves rounded down, as a painter places it.
        const Rect placed{areaWidth / 2 - width / 2, areaHeight / 2 - height / 2, width, height};
        const Rect target = Intersect(placed, area);
        return {{target.x - placed.x, target.y - placed.y, target.width, target.height}, target, false};
    }
    case WPSTYLE_TILE:
        // What lies past the area's size never shows.
        return {{0, 0, std::min(width, areaWidth), std::min(height, areaHeight)}, area, true};
    case WPSTYLE_KEEPASPECT:
        return {whole, FitInArea(width, height, areaWidth, areaHeight), false};
    case WPSTYLE_CROPTOFIT:
        return {CropToArea(width, height, areaWidth, areaHeight), area, false};
    default:
        return {whole, area, false};
    }
}

}  // namespace vlmr
