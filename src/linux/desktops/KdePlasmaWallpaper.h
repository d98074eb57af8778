#pragma once
// The wallpaper of a KDE Plasma session: a script run by plasmashell over
// D-Bus that sets the image wallpaper of every desktop. For a picture per
// monitor, each desktop gets the picture of the screen it is on.
#include <memory>
#include <string>

#include "platform/WallpaperService.h"

namespace vlmr {

class KdePlasmaWallpaper : public WallpaperService {
public:
    // Waits, serving events, until org.kde.plasmashell is on the session bus;
    // nullptr, after a line in the log, when it is not there within the bound
    // (the setter's apply waits out the rest of it for the shell to take scripts).
    std::unique_ptr<ActiveDesktop> Create() override;
    // Waits for plasmashell as Create does.
    std::unique_ptr<MonitorWallpapers> CreatePerMonitor() override;
    std::string Mechanism() override { return "a script to org.kde.plasmashell on the session bus"; }
};

}  // namespace vlmr
