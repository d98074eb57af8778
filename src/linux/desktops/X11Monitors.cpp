#include "X11Monitors.h"

#include "DesktopSetter.h"
#include "store/RunLog.h"
// After the headers above: Xlib's macros (Status, Success) would break them.
#include "RootCanvas.h"
#include "RootLayout.h"
#include "RootPicture.h"
#include "X11RootPixmap.h"

#include <optional>
#include <string>

#include <X11/extensions/Xrandr.h>

namespace vlmr {
namespace {

struct Monitor {
    std::string name;  // for the log, e.g. "A 960x1080+0+0"
    Rect place;        // on the root window
};

std::string Geometry(const Rect& place) {
    return std::to_string(place.width) + "x" + std::to_string(place.height) + "+" + std::to_string(place.x) + "+" +
           std::to_string(place.y);
}

// A name that another client gave, as a terminal may safely show it.
std::string AtomName(Display* display, Atom atom) {
    char* name = atom != 0 ? XGetAtomName(display, atom) : nullptr;
    if (name == nullptr) return "unnamed";
    std::string text(name);
    XFree(name);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return text;
}

// The active RandR monitors of the default screen in RandR's order; the
// whole screen as the one monitor when RandR cannot tell any.
std::vector<Monitor> QueryMonitors(Display* display, ErrorTrap& trap) {
    const int screen = DefaultScreen(display);
    std::vector<Monitor> monitors;
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    // Monitors came with RandR 1.5; asking an older server is a protocol error.
    if (XRRQueryExtension(display, &event, &error) && XRRQueryVersion(display, &major, &minor) &&
        (major > 1 || (major == 1 && minor >= 5))) {
        int count = 0;
        XRRMonitorInfo* info = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
        for (int i = 0; info != nullptr && i < count; ++i) {
            const Rect place{info[i].x, info[i].y, info[i].width, info[i].height};
            if (!place.Empty()) monitors.push_back({AtomName(display, info[i].name) + " " + Geometry(place), place});
        }
        if (info != nullptr) XRRFreeMonitors(info);
    }
    if (!trap.Sync()) monitors.clear();
    if (monitors.empty()) {
        const Rect whole{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
        monitors.push_back({"screen " + Geometry(whole), whole});
    }
    return monitors;
}

std::vector<std::string> Names(const std::vector<Monitor>& monitors) {
    std::vector<std::string> names;
    for (const Monitor& monitor : monitors) names.push_back(monitor.name);
    return names;
}

}  // namespace

X11MonitorWallpapers::~X11MonitorWallpapers() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

bool X11MonitorWallpapers::Connect() {
    // The connection is used up once a pixmap is left on the root.
    if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) SayWallpaperUnchanged("the X display cannot be opened, so its monitors cannot be told");
    return display_ != nullptr;
}

std::vector<std::string> X11MonitorWallpapers::Monitors() {
    if (!Connect()) return {};
    ErrorTrap trap(display_);
    told_ = Names(QueryMonitors(display_, trap));
    return told_;
}

std::vector<bool> X11MonitorWallpapers::SetWallpapers(const std::vector<std::string>& pictures,
                                                      std::int32_t style) {
    std::vector<bool> shown(pictures.size(), false);
    if (style < WPSTYLE_CENTER || style > WPSTYLE_CROPTOFIT) {
        SayWallpaperUnchanged("the style " + std::to_string(style) + " is none of center, tile, stretch, fit and fill");
        return shown;
    }
    if (!Connect()) return shown;
    ErrorTrap trap(display_);
    const std::vector<Monitor> monitors = QueryMonitors(display_, trap);
    if (!told_.empty() && Names(monitors) != told_)
        LogError("the monitors changed since they were told; the pictures go to them in order");
    bool ok = false;
    bool keepAny = false;
    bool keptOld = false;
    {
        RootCanvas canvas(display_, others_.get());
        Region failed = XCreateRegion();  // monitors that keep what they showed
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            const Rect& place = monitors[i].place;
            std::optional<std::string> file;
            if (i < pictures.size()) file = DesktopSetter::PictureFile(pictures[i]);
            std::string why;
            std::optional<PictureBytes> picture;
            if (file) picture = ReadPicture(*file, why);
            const bool drawn = picture && canvas.Draw(*picture, static_cast<std::uint32_t>(style), place, why);
            if (file && !drawn) DesktopSetter::Refuse(*file, why.c_str());
            if (drawn) {
                shown[i] = true;
            } else {
                XRectangle rect{static_cast<short>(place.x), static_cast<short>(place.y),
                                static_cast<unsigned short>(place.width), static_cast<unsigned short>(place.height)};
                XUnionRectWithRegion(&rect, failed, failed);
            }
        }
        for (std::size_t i = monitors.size(); i < pictures.size(); ++i)
            SayWallpaperUnchanged("picture " + std::to_string(i + 1) + " has no monitor: there are only " +
                                  std::to_string(monitors.size()));
        // Where monitors overlap, a picture shown wins over what a failed one keeps.
        Region keep = canvas.Undrawn();
        XIntersectRegion(keep, failed, keep);
        XDestroyRegion(failed);
        keepAny = !XEmptyRegion(keep);
        canvas.FillUndrawn();  // what no monitor shows, and the failed ones unless they can keep theirs
        const Pixmap pixmap = canvas.Take();
        if (pixmap != 0) ok = ShowOnRoot(display_, trap, pixmap, keep, &keptOld);
        XDestroyRegion(keep);
        if (pixmap == 0) return shown;  // nothing to show: the root stays untouched
    }
    XCloseDisplay(display_);
    display_ = nullptr;
    if (!ok) {
        SayWallpaperUnchanged("the root window cannot take the pictures (an X error)");
        return std::vector<bool>(pictures.size(), false);
    }
    if (keepAny && !keptOld)
        for (std::size_t i = 0; i < monitors.size(); ++i)
            if (i >= shown.size() || !shown[i])
                LogError("monitor " + monitors[i].name + " shows black: what it showed was no root "
                         "pixmap of the screen's size that could be kept");
    return shown;
}

}  // namespace vlmr
