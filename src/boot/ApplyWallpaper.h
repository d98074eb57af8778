#pragma once
#include <cstdint>
#include <string>

#include "platform/WallpaperService.h"

namespace vlmr {

// Hands the image and the style to the desktop's wallpaper service, which
// stores them and redraws the desktop. Switches Active Desktop on first when
// asked to and it is off. Reports nothing: a failed step is skipped.
void ApplyWallpaper(WallpaperService& service, const std::string& path, std::int32_t style,
                    bool enableActiveDesktop);

}  // namespace vlmr
