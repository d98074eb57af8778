#pragma once
// The wallpaper of a sway session: `swaymsg output * bg FILE MODE` over the
// compositor's IPC socket ($SWAYSOCK). sway hands the image to swaybg.
// A picture per monitor is `swaymsg output NAME bg FILE MODE` for each
// active output that `swaymsg -t get_outputs` lists.
#include <memory>
#include <string>

#include "platform/WallpaperService.h"

namespace vlmr {

class SwayWallpaper : public WallpaperService {
public:
    // Waits, serving events, for $SWAYSOCK to be made; nullptr, after a line
    // in the log, when it is not there within the bound, nothing answers on
    // it, or swaymsg is not on PATH.
    std::unique_ptr<ActiveDesktop> Create() override;
    // Waits for sway as Create does.
    std::unique_ptr<MonitorWallpapers> CreatePerMonitor() override;
    std::string Mechanism() override { return "swaymsg output * bg, through SWAYSOCK"; }
};

}  // namespace vlmr
