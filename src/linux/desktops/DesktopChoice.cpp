#include "DesktopChoice.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <utility>

#include "linux/UserFolders.h"

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

DesktopKind ChooseDesktop(const EnvironmentLookup& environment, std::string* reason) {
    const auto because = [reason](const char* variable, const std::string& value, DesktopKind desktop) {
        if (reason) *reason = std::string(variable) + "=" + value;
        return desktop;
    };
    const std::string given = environment("XDG_CURRENT_DESKTOP");
    const std::string current = Lower(given);
    for (std::size_t start = 0; start <= current.size();) {
        std::size_t end = current.find(':', start);
        if (end == std::string::npos) end = current.size();
        if (const auto desktop = DesktopNamed(current.substr(start, end - start)))
            return because("XDG_CURRENT_DESKTOP", given, *desktop);
        start = end + 1;
    }

    // Sessions started without XDG_CURRENT_DESKTOP (older display managers,
    // startx) still carry the desktop's own variables.
    static constexpr std::pair<const char*, DesktopKind> kOwnVariables[] = {
        {"KDE_FULL_SESSION", DesktopKind::Kde},
        {"GNOME_DESKTOP_SESSION_ID", DesktopKind::Gnome},
        {"MATE_DESKTOP_SESSION_ID", DesktopKind::Mate},
        {"SWAYSOCK", DesktopKind::Sway},
    };
    for (const auto& [variable, desktop] : kOwnVariables)
        if (const std::string value = environment(variable); !value.empty()) return because(variable, value, desktop);
    const std::string session = environment("DESKTOP_SESSION");
    if (const auto desktop = SessionNamed(session)) return because("DESKTOP_SESSION", session, *desktop);

    // Under Wayland the root window is Xwayland's and nobody sees it.
    const std::string display = environment("DISPLAY");
    const std::string wayland = environment("WAYLAND_DISPLAY");
    if (!display.empty() && wayland.empty()) {
        if (reason) *reason = "no known desktop, an X display DISPLAY=" + display + " and no Wayland one";
        return DesktopKind::X11Root;
    }
    if (reason)
        *reason = wayland.empty() ? std::string("no known desktop and no display")
                                  : "a Wayland session (WAYLAND_DISPLAY=" + wayland + ") of no known desktop";
    return DesktopKind::None;
}

DesktopKind SessionDesktop(std::string* reason) {
    return ChooseDesktop([](const char* name) { return Environment(name); }, reason);
}

namespace {

// The chosen setter, saying why it was chosen along with how it works.
class ChosenWallpaperService : public WallpaperService {
public:
    ChosenWallpaperService(std::unique_ptr<WallpaperService> setter, std::string reason)
        : setter_(std::move(setter)), reason_(std::move(reason)) {}
    std::unique_ptr<ActiveDesktop> Create() override { return setter_->Create(); }
    std::unique_ptr<MonitorWallpapers> CreatePerMonitor() override { return setter_->CreatePerMonitor(); }
    std::string Mechanism() override { return setter_->Mechanism() + ", because " + reason_; }

private:
    std::unique_ptr<WallpaperService> setter_;
    std::string reason_;
};

}  // namespace

std::unique_ptr<WallpaperService> ExplainedWallpaperService(std::unique_ptr<WallpaperService> setter,
                                                            std::string reason) {
    return std::make_unique<ChosenWallpaperService>(std::move(setter), std::move(reason));
}

}  // namespace vlmr
