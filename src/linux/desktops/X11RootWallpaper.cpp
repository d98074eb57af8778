#include "X11RootWallpaper.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "DesktopSetter.h"
#include "RootCanvas.h"
#include "RootPicture.h"
#include "X11Monitors.h"
#include "X11RootPixmap.h"

namespace vlmr {
namespace {

class X11RootDesktop final : public DesktopSetter {
public:
    X11RootDesktop(Display* display, std::shared_ptr<PictureDecoder> others)
        : display_(display), others_(std::move(others)) {}
    ~X11RootDesktop() override {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    X11RootDesktop(const X11RootDesktop&) = delete;
    X11RootDesktop& operator=(const X11RootDesktop&) = delete;

    bool Apply(const std::string& file, std::uint32_t style) override {
        std::string why;
        // A file that is no whole picture is refused before the server hears of it.
        const std::optional<PictureBytes> picture = ReadPicture(file, why);
        if (!picture) return Refuse(file, why.c_str());
        // The connection from Create is used up by an earlier apply on this object.
        if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) return Refuse(file, "the X display cannot be opened");
        bool ok = false;
        {
            ErrorTrap trap(display_);
            RootCanvas canvas(display_, others_.get());
            const int screen = DefaultScreen(display_);
            ok = canvas.Draw(*picture, style, {0, 0, DisplayWidth(display_, screen), DisplayHeight(display_, screen)},
                             why);
            if (ok) {
                ok = ShowOnRoot(display_, trap, canvas.Take());
                if (!ok) why = "the root window cannot take it (an X error)";
            }
        }
        XCloseDisplay(display_);
        display_ = nullptr;
        return ok || Refuse(file, why.c_str());
    }

private:
    Display* display_;
    std::shared_ptr<PictureDecoder> others_;
};

}  // namespace

std::unique_ptr<ActiveDesktop> X11RootWallpaper::Create() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        SayWallpaperUnchanged("the X display cannot be opened");
        return nullptr;
    }
    return std::make_unique<X11RootDesktop>(display, others_);
}

std::unique_ptr<MonitorWallpapers> X11RootWallpaper::CreatePerMonitor() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        SayWallpaperUnchanged("the X display cannot be opened, so its monitors cannot be told");
        return nullptr;
    }
    return std::make_unique<X11MonitorWallpapers>(display, others_);
}

}  // namespace vlmr
