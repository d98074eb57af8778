#include "X11Monitors.h"

#include "DesktopSetter.h"
#include "RootPicture.h"
#include "store/RunLog.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRegion>

#include <optional>
#include <string>

#include "X11RootPixmap.h"  // last: it brings in Xlib
#include <X11/extensions/Xrandr.h>

namespace vlmr {
namespace {

struct Monitor {
    std::string name;  // for the log, e.g. "A 960x1080+0+0"
    QRect place;       // on the root window
};

std::string Geometry(const QRect& place) {
    return std::to_string(place.width()) + "x" + std::to_string(place.height()) + "+" +
           std::to_string(place.x()) + "+" + std::to_string(place.y());
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
            const QRect place(info[i].x, info[i].y, info[i].width, info[i].height);
            if (!place.isEmpty()) monitors.push_back({AtomName(display, info[i].name) + " " + Geometry(place), place});
        }
        if (info != nullptr) XRRFreeMonitors(info);
    }
    if (!trap.Sync()) monitors.clear();
    if (monitors.empty()) {
        const QRect whole(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen));
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
    const int screen = DefaultScreen(display_);
    QImage root(DisplayWidth(display_, screen), DisplayHeight(display_, screen), QImage::Format_RGB32);
    root.fill(Qt::black);  // what no monitor shows
    QRegion drawn;
    QRegion keep;
    {
        QPainter painter(&root);
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            const QRect& place = monitors[i].place;
            std::optional<std::string> file;
            if (i < pictures.size()) file = DesktopSetter::PictureFile(pictures[i]);
            std::string why;
            const QImage picture = file ? LoadPicture(*file, why) : QImage();
            if (file && picture.isNull()) DesktopSetter::Refuse(*file, why.c_str());
            if (picture.isNull()) {
                keep += place;
                continue;
            }
            painter.drawImage(place.topLeft(),
                              RenderRoot(picture, static_cast<std::uint32_t>(style), place.width(), place.height()));
            drawn += place;
            shown[i] = true;
        }
    }
    for (std::size_t i = monitors.size(); i < pictures.size(); ++i)
        SayWallpaperUnchanged("picture " + std::to_string(i + 1) + " has no monitor: there are only " +
                              std::to_string(monitors.size()));
    if (drawn.isEmpty()) return shown;  // nothing to show: the root stays untouched

    // Where monitors overlap, a picture shown wins over what a failed one keeps.
    keep = (keep - drawn) & root.rect();
    bool keptOld = false;
    const bool ok = PutOnRoot(display_, trap, root, keep, &keptOld);
    XCloseDisplay(display_);
    display_ = nullptr;
    if (!ok) {
        SayWallpaperUnchanged("the root window cannot take the pictures (an X error, or a screen "
                              "without true colour)");
        return std::vector<bool>(pictures.size(), false);
    }
    if (!keep.isEmpty() && !keptOld)
        for (std::size_t i = 0; i < monitors.size(); ++i)
            if (i >= shown.size() || !shown[i])
                LogError("monitor " + monitors[i].name + " shows black: what it showed was no root "
                         "pixmap of the screen's size that could be kept");
    return shown;
}

}  // namespace vlmr
