// The choice of setter over environments as real sessions set them.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "GSettingsWallpaper.h"
#include "KdePlasmaWallpaper.h"
#include "SwayWallpaper.h"
#include "WallpaperChoice.h"
#include "X11RootWallpaper.h"
#include "XfceWallpaper.h"

namespace vlmr {
namespace {

using Environment = std::map<std::string, std::string>;

DesktopKind Choose(const Environment& environment) {
    return ChooseDesktop([&](const char* name) {
        const auto found = environment.find(name);
        return found != environment.end() ? found->second : std::string();
    });
}

// Both displays, as under XWayland: only a named desktop may win.
const Environment kWaylandWithX{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}};

Environment With(Environment environment, const std::string& name, const std::string& value) {
    environment[name] = value;
    return environment;
}

TEST(choice, CurrentDesktopNamesAsSessionsSetThem) {
    const std::map<std::string, DesktopKind> cases{
        {"ubuntu:GNOME", DesktopKind::Gnome},
        {"GNOME", DesktopKind::Gnome},
        {"Unity", DesktopKind::Gnome},
        {"Budgie:GNOME", DesktopKind::Gnome},
        {"GNOME-Flashback:GNOME", DesktopKind::Gnome},
        {"GNOME-Classic:GNOME", DesktopKind::Gnome},
        {"X-Cinnamon", DesktopKind::Cinnamon},
        {"Cinnamon", DesktopKind::Cinnamon},
        {"MATE", DesktopKind::Mate},
        {"KDE", DesktopKind::Kde},
        {"XFCE", DesktopKind::Xfce},
        {"sway", DesktopKind::Sway},
        // Any case.
        {"gnome", DesktopKind::Gnome},
        {"kde", DesktopKind::Kde},
        {"Xfce", DesktopKind::Xfce},
        {"SWAY", DesktopKind::Sway},
        // The first known name wins; unknown ones and empty parts are passed over.
        {"Pantheon:KDE:GNOME", DesktopKind::Kde},
        {"::XFCE", DesktopKind::Xfce},
        {"GNOME:KDE", DesktopKind::Gnome},
    };
    for (const auto& [current, expected] : cases) {
        EXPECT_EQ(Choose(With(kWaylandWithX, "XDG_CURRENT_DESKTOP", current)), expected) << current;
        EXPECT_EQ(Choose({{"XDG_CURRENT_DESKTOP", current}}), expected)
            << current << ", no display";
    }
}

TEST(choice, NamesThatOnlyResembleADesktopAreUnknown) {
    for (const char* current : {"GNOME-Flashback", "KDEX", "xfce4", "Swayfx", "LXQt", "Hyprland",
                                "GNOME KDE", "MATE;KDE"}) {
        EXPECT_EQ(Choose(With(kWaylandWithX, "XDG_CURRENT_DESKTOP", current)), DesktopKind::None)
            << current;
        // An unknown X11 desktop still has a root window.
        EXPECT_EQ(Choose({{"XDG_CURRENT_DESKTOP", current}, {"DISPLAY", ":1"}}),
                  DesktopKind::X11Root)
            << current;
    }
}

TEST(choice, SessionVariablesWhenTheCurrentDesktopSaysNothing) {
    const std::map<std::string, std::pair<std::string, DesktopKind>> cases{
        {"kde", {"KDE_FULL_SESSION", DesktopKind::Kde}},
        {"gnome", {"GNOME_DESKTOP_SESSION_ID", DesktopKind::Gnome}},
        {"mate", {"MATE_DESKTOP_SESSION_ID", DesktopKind::Mate}},
        {"sway", {"SWAYSOCK", DesktopKind::Sway}},
    };
    for (const auto& [label, variable] : cases) {
        const auto& [name, expected] = variable;
        EXPECT_EQ(Choose(With(kWaylandWithX, name, "x")), expected) << label;
        EXPECT_EQ(Choose(With({{"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "LXDE"}}, name, "x")),
                  expected)
            << label << " under an unknown desktop";
    }
    const std::map<std::string, DesktopKind> sessions{
        {"xfce", DesktopKind::Xfce},         {"cinnamon", DesktopKind::Cinnamon},
        {"mate", DesktopKind::Mate},         {"plasma", DesktopKind::Kde},
        {"plasmawayland", DesktopKind::Kde}, {"gnome", DesktopKind::Gnome},
        {"gnome-xorg", DesktopKind::Gnome},  {"ubuntu", DesktopKind::Gnome},
        {"Xfce", DesktopKind::Xfce},         {"/usr/share/xsessions/plasma", DesktopKind::Kde},
    };
    for (const auto& [session, expected] : sessions)
        EXPECT_EQ(Choose(With(kWaylandWithX, "DESKTOP_SESSION", session)), expected) << session;
    EXPECT_EQ(Choose(With(kWaylandWithX, "DESKTOP_SESSION", "openbox")), DesktopKind::None);

    // The current desktop outranks a session variable left over from elsewhere.
    EXPECT_EQ(Choose({{"XDG_CURRENT_DESKTOP", "XFCE"}, {"KDE_FULL_SESSION", "true"}}),
              DesktopKind::Xfce);
    // An empty variable counts as unset.
    EXPECT_EQ(Choose({{"KDE_FULL_SESSION", ""}, {"DISPLAY", ":0"}}), DesktopKind::X11Root);
}

TEST(choice, NoDesktopNamedLeavesTheDisplays) {
    EXPECT_EQ(Choose({{"DISPLAY", ":0"}}), DesktopKind::X11Root);
    EXPECT_EQ(Choose({{"XDG_CURRENT_DESKTOP", ""}, {"DISPLAY", ":5"}}), DesktopKind::X11Root);
    // Under Wayland the X root is Xwayland's, which nobody sees.
    EXPECT_EQ(Choose({{"WAYLAND_DISPLAY", "wayland-0"}}), DesktopKind::None);
    EXPECT_EQ(Choose(kWaylandWithX), DesktopKind::None);
    EXPECT_EQ(Choose({}), DesktopKind::None);
    EXPECT_EQ(Choose({{"XDG_CURRENT_DESKTOP", "Hyprland"}, {"WAYLAND_DISPLAY", "wayland-1"}}),
              DesktopKind::None);
}

template <typename Service>
bool Is(const std::unique_ptr<WallpaperService>& service) {
    return dynamic_cast<Service*>(service.get()) != nullptr;
}

TEST(choice, EachDesktopGetsItsOwnSetter) {
    for (const auto& [desktop, family] :
         {std::pair{DesktopKind::Gnome, GSettingsFamily::Gnome},
          std::pair{DesktopKind::Cinnamon, GSettingsFamily::Cinnamon},
          std::pair{DesktopKind::Mate, GSettingsFamily::Mate}}) {
        const auto service = MakeWallpaperService(desktop);
        const auto* gsettings = dynamic_cast<GSettingsWallpaper*>(service.get());
        ASSERT_NE(gsettings, nullptr);
        EXPECT_EQ(gsettings->family(), family);
    }
    EXPECT_TRUE(Is<KdePlasmaWallpaper>(MakeWallpaperService(DesktopKind::Kde)));
    EXPECT_TRUE(Is<XfceWallpaper>(MakeWallpaperService(DesktopKind::Xfce)));
    EXPECT_TRUE(Is<SwayWallpaper>(MakeWallpaperService(DesktopKind::Sway)));
    EXPECT_TRUE(Is<X11RootWallpaper>(MakeWallpaperService(DesktopKind::X11Root)));
    const auto none = MakeWallpaperService(DesktopKind::None);
    ASSERT_TRUE(Is<AbsentWallpaperService>(none));
    EXPECT_EQ(none->Create(), nullptr);
}

}  // namespace
}  // namespace vlmr
