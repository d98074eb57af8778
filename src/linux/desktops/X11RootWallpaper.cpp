#include "X11RootWallpaper.h"

#include "DesktopSetter.h"
#include "RootPicture.h"
#include "X11Monitors.h"

#include <cstdint>
#include <string>

#include "X11RootPixmap.h"  // last: it brings in Xlib

namespace vlmr {
namespace {

class X11RootDesktop final : public DesktopSetter {
public:
    explicit X11RootDesktop(Display* display) : display_(display) {}
    ~X11RootDesktop() override {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    X11RootDesktop(const X11RootDesktop&) = delete;
    X11RootDesktop& operator=(const X11RootDesktop&) = delete;

    bool Apply(const std::string& file, std::uint32_t style) override {
        std::string why;
        const QImage picture = LoadPicture(file, why);
        if (picture.isNull()) return Refuse(file, why.c_str());
        // The connection from Create is used up by an earlier apply on this object.
        if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) return Refuse(file, "the X display cannot be opened");
        ErrorTrap trap(display_);
        const int screen = DefaultScreen(display_);
        const bool ok = PutOnRoot(
            display_, trap,
            RenderRoot(picture, style, DisplayWidth(display_, screen), DisplayHeight(display_, screen)));
        XCloseDisplay(display_);
        display_ = nullptr;
        return ok || Refuse(file, "the root window cannot take it (an X error, or a screen "
                                   "without true colour)");
    }

private:
    Display* display_;
};

}  // namespace

std::unique_ptr<ActiveDesktop> X11RootWallpaper::Create() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        SayWallpaperUnchanged("the X display cannot be opened");
        return nullptr;
    }
    return std::make_unique<X11RootDesktop>(display);
}

std::unique_ptr<MonitorWallpapers> X11RootWallpaper::CreatePerMonitor() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        SayWallpaperUnchanged("the X display cannot be opened, so its monitors cannot be told");
        return nullptr;
    }
    return std::make_unique<X11MonitorWallpapers>(display);
}

}  // namespace vlmr
