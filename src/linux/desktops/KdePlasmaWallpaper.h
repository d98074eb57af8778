#pragma once
// The wallpaper of a KDE Plasma session: a script run by plasmashell over
// D-Bus that sets the image wallpaper of every desktop.
#include <memory>

#include "platform/WallpaperService.h"

namespace vlmr {

class KdePlasmaWallpaper : public WallpaperService {
public:
    // nullptr when org.kde.plasmashell is not on the session bus.
    std::unique_ptr<ActiveDesktop> Create() override;
};

}  // namespace vlmr
