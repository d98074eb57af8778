#include "WallpaperChoice.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include "GSettingsWallpaper.h"
#include "KdePlasmaWallpaper.h"
#include "SwayWallpaper.h"
#include "X11RootWallpaper.h"
#include "XfceWallpaper.h"

namespace vlmr {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// One name of XDG_CURRENT_DESKTOP, in lower case.
std::optional<DesktopKind> DesktopNamed(const std::string& name) {
    static constexpr std::pair<std::string_view, DesktopKind> kNames[] = {
        {"gnome", DesktopKind::Gnome},       {"unity", DesktopKind::Gnome},
        {"budgie", DesktopKind::Gnome},      {"ubuntu", DesktopKind::Gnome},
        {"x-cinnamon", DesktopKind::Cinnamon}, {"cinnamon", DesktopKind::Cinnamon},
        {"mate", DesktopKind::Mate},         {"kde", DesktopKind::Kde},
        {"xfce", DesktopKind::Xfce},         {"sway", DesktopKind::Sway},
    };
    for (const auto& [known, desktop] : kNames)
        if (name == known) return desktop;
    return std::nullopt;
}

// DESKTOP_SESSION names the session file the display manager started; older
// ones give its full path.
std::optional<DesktopKind> SessionNamed(std::string session) {
    if (const auto slash = session.rfind('/'); slash != std::string::npos)
        session.erase(0, slash + 1);
    session = Lower(session);
    static constexpr std::pair<std::string_view, DesktopKind> kSessions[] = {
        {"gnome", DesktopKind::Gnome},          {"gnome-xorg", DesktopKind::Gnome},
        {"gnome-wayland", DesktopKind::Gnome},  {"gnome-classic", DesktopKind::Gnome},
        {"ubuntu", DesktopKind::Gnome},         {"ubuntu-xorg", DesktopKind::Gnome},
        {"ubuntu-wayland", DesktopKind::Gnome}, {"unity", DesktopKind::Gnome},
        {"budgie-desktop", DesktopKind::Gnome}, {"cinnamon", DesktopKind::Cinnamon},
        {"cinnamon2d", DesktopKind::Cinnamon},  {"cinnamon-wayland", DesktopKind::Cinnamon},
        {"mate", DesktopKind::Mate},            {"plasma", DesktopKind::Kde},
        {"plasmawayland", DesktopKind::Kde},    {"plasmax11", DesktopKind::Kde},
        {"kde-plasma", DesktopKind::Kde},       {"xfce", DesktopKind::Xfce},
        {"xubuntu", DesktopKind::Xfce},         {"sway", DesktopKind::Sway},
    };
    for (const auto& [known, desktop] : kSessions)
        if (session == known) return desktop;
    return std::nullopt;
}

}  // namespace

DesktopKind ChooseDesktop(const EnvironmentLookup& environment) {
    const std::string current = Lower(environment("XDG_CURRENT_DESKTOP"));
    for (std::size_t start = 0; start <= current.size();) {
        std::size_t end = current.find(':', start);
        if (end == std::string::npos) end = current.size();
        if (const auto desktop = DesktopNamed(current.substr(start, end - start))) return *desktop;
        start = end + 1;
    }

    // Sessions started without XDG_CURRENT_DESKTOP (older display managers,
    // startx) still carry the desktop's own variables.
    if (!environment("KDE_FULL_SESSION").empty()) return DesktopKind::Kde;
    if (!environment("GNOME_DESKTOP_SESSION_ID").empty()) return DesktopKind::Gnome;
    if (!environment("MATE_DESKTOP_SESSION_ID").empty()) return DesktopKind::Mate;
    if (!environment("SWAYSOCK").empty()) return DesktopKind::Sway;
    if (const auto desktop = SessionNamed(environment("DESKTOP_SESSION"))) return *desktop;

    // Under Wayland the root window is Xwayland's and nobody sees it.
    if (!environment("DISPLAY").empty() && environment("WAYLAND_DISPLAY").empty())
        return DesktopKind::X11Root;
    return DesktopKind::None;
}

std::unique_ptr<WallpaperService> MakeWallpaperService(DesktopKind desktop) {
    switch (desktop) {
    case DesktopKind::Gnome:
        return std::make_unique<GSettingsWallpaper>(GSettingsFamily::Gnome);
    case DesktopKind::Cinnamon:
        return std::make_unique<GSettingsWallpaper>(GSettingsFamily::Cinnamon);
    case DesktopKind::Mate:
        return std::make_unique<GSettingsWallpaper>(GSettingsFamily::Mate);
    case DesktopKind::Kde:
        return std::make_unique<KdePlasmaWallpaper>();
    case DesktopKind::Xfce:
        return std::make_unique<XfceWallpaper>();
    case DesktopKind::Sway:
        return std::make_unique<SwayWallpaper>();
    case DesktopKind::X11Root:
        return std::make_unique<X11RootWallpaper>();
    case DesktopKind::None:
        break;
    }
    return std::make_unique<AbsentWallpaperService>();
}

std::unique_ptr<WallpaperService> ChooseWallpaperService() {
    return MakeWallpaperService(ChooseDesktop([](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    }));
}

}  // namespace vlmr
