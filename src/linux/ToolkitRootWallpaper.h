#pragma once
// The X root setter of the lean course while that setter still decodes
// pictures with the toolkit: the module's setter, loaded only when a picture
// is really to be drawn. Every check that needs no toolkit comes first, so a
// run that draws nothing never loads it. Once the setter needs no toolkit,
// the lean course uses X11RootWallpaper itself and this goes.
#include <memory>
#include <string>

#include "ToolkitModule.h"
#include "platform/WallpaperService.h"

namespace vlmr {

class ToolkitRootWallpaper : public WallpaperService {
public:
    explicit ToolkitRootWallpaper(ToolkitModule& toolkit) : toolkit_(toolkit) {}

    std::unique_ptr<ActiveDesktop> Create() override;
    std::unique_ptr<MonitorWallpapers> CreatePerMonitor() override { return Setter().CreatePerMonitor(); }
    // X11RootWallpaper's own words.
    std::string Mechanism() override { return "the X root window's pixmap"; }

    // The module's setter, loaded on first use.
    WallpaperService& Setter();

private:
    ToolkitModule& toolkit_;
    std::unique_ptr<WallpaperService> setter_;
};

}  // namespace vlmr
