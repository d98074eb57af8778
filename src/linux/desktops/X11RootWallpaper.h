#pragma once
// The wallpaper of a plain X11 session: a pixmap on the root window, set the
// way other root setters do it (_XROOTPMAP_ID and ESETROOT_PMAP_ID), so
// compositors and pseudo-transparent terminals pick it up. It needs no
// toolkit: bitmaps are decoded here, every other format by the decoder given.
#include <memory>
#include <string>

#include "PictureDecoder.h"
#include "platform/WallpaperService.h"

namespace vlmr {

class X11RootWallpaper : public WallpaperService {
public:
    // Other formats than BMP go to `others`; without one they are refused.
    explicit X11RootWallpaper(std::shared_ptr<PictureDecoder> others) : others_(std::move(others)) {}
    // With the toolkit's decoders (QtPictureDecoder), where the toolkit is linked.
    X11RootWallpaper();

    // nullptr when no X display can be opened.
    std::unique_ptr<ActiveDesktop> Create() override;
    // Each RandR monitor with a picture of its own; nullptr, after a line in
    // the log, when no X display can be opened.
    std::unique_ptr<MonitorWallpapers> CreatePerMonitor() override;
    std::string Mechanism() override { return "the X root window's pixmap"; }

private:
    std::shared_ptr<PictureDecoder> others_;
};

}  // namespace vlmr
