#include "WallpaperChoice.h"

#include "GSettingsWallpaper.h"
#include "KdePlasmaWallpaper.h"
#include "SwayWallpaper.h"
#include "X11RootWallpaper.h"
#include "XfceWallpaper.h"

namespace vlmr {

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
    std::string reason;
    const DesktopKind desktop = SessionDesktop(&reason);
    return ExplainedWallpaperService(MakeWallpaperService(desktop), std::move(reason));
}

}  // namespace vlmr
