#pragma once
// The wallpaper of a plain X11 session: a pixmap on the root window, set the
// way other root setters do it (_XROOTPMAP_ID and ESETROOT_PMAP_ID), so
// compositors and pseudo-transparent terminals pick it up.
#include <memory>
#include <string>

#include "platform/WallpaperService.h"

namespace vlmr {

class X11RootWallpaper : public WallpaperService {
public:
    // nullptr when no X display can be opened.
    std::unique_ptr<ActiveDesktop> Create() override;
    // Each RandR monitor with a picture of its own; nullptr, after a line in
    // the log, when no X display can be opened.
    std::unique_ptr<MonitorWallpapers> CreatePerMonitor() override;
    std::string Mechanism() override { return "the X root window's pixmap"; }
};

}  // namespace vlmr
