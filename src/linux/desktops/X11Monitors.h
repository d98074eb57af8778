#pragma once
// A picture of its own on each RandR monitor of a plain X11 session: one
// root pixmap of the screen's size, in which each picture is laid out over
// its monitor's rectangle as the root setter lays one out over the screen.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "PictureDecoder.h"
#include "platform/WallpaperService.h"

// Xlib's connection, declared as Xlib declares it, so that this header
// brings in none of Xlib's macros.
typedef struct _XDisplay Display;

namespace vlmr {

class X11MonitorWallpapers final : public MonitorWallpapers {
public:
    // Takes the connection over; another is opened when it is used up.
    // Other formats than BMP go to `others` (see X11RootWallpaper).
    X11MonitorWallpapers(Display* display, std::shared_ptr<PictureDecoder> others)
        : display_(display), others_(std::move(others)) {}
    ~X11MonitorWallpapers() override;
    X11MonitorWallpapers(const X11MonitorWallpapers&) = delete;
    X11MonitorWallpapers& operator=(const X11MonitorWallpapers&) = delete;

    // The active RandR monitors of the default screen, in RandR's order, as
    // "NAME WxH+X+Y"; without RandR, or when it tells none, the whole screen
    // as "screen WxH+0+0".
    std::vector<std::string> Monitors() override;
    std::vector<bool> SetWallpapers(const std::vector<std::string>& pictures, std::int32_t style) override;

private:
    bool Connect();

    Display* display_;
    std::shared_ptr<PictureDecoder> others_;
    std::vector<std::string> told_;  // what Monitors() last answered
};

}  // namespace vlmr
