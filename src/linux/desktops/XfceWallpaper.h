#pragma once
// The wallpaper of an XFCE session: the backdrop properties of xfconf's
// "xfce4-desktop" channel, which xfdesktop watches, set over D-Bus. Each
// monitor has a backdrop for each workspace, so a monitor's own picture goes
// into all of that monitor's.
#include <memory>
#include <string>

#include "platform/WallpaperService.h"

namespace vlmr {

class XfceWallpaper : public WallpaperService {
public:
    // nullptr when org.xfce.Xfconf is neither on the session bus nor activatable there.
    std::unique_ptr<ActiveDesktop> Create() override;
    // The same, for a picture per monitor.
    std::unique_ptr<MonitorWallpapers> CreatePerMonitor() override;
    std::string Mechanism() override { return "xfconf's xfce4-desktop channel"; }
};

}  // namespace vlmr
