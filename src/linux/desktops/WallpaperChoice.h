#pragma once
// Which wallpaper setter serves this session.
#include <memory>

#include "platform/WallpaperService.h"

namespace vlmr {

// No setter for this desktop yet: the service is absent, so a boot run
// changes nothing (never a pretended success).
class AbsentWallpaperService : public WallpaperService {
public:
    std::unique_ptr<ActiveDesktop> Create() override { return nullptr; }
};

// The root-window setter for a plain X11 session; absent on a named desktop
// (it would paint under that desktop's own wallpaper) and without X.
std::unique_ptr<WallpaperService> ChooseWallpaperService();

}  // namespace vlmr
