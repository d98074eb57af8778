#pragma once
// The wallpaper of a sway session: `swaymsg output * bg FILE MODE` over the
// compositor's IPC socket ($SWAYSOCK). sway hands the image to swaybg.
#include <memory>

#include "platform/WallpaperService.h"

namespace vlmr {

class SwayWallpaper : public WallpaperService {
public:
    // nullptr when nothing answers on $SWAYSOCK or swaymsg is not on PATH.
    std::unique_ptr<ActiveDesktop> Create() override;
};

}  // namespace vlmr
