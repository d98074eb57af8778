#include "boot/ApplyWallpaper.h"

namespace vlmr {

void ApplyWallpaper(WallpaperService& service, const std::string& path, std::int32_t style,
                    bool enableActiveDesktop) {
    std::unique_ptr<ActiveDesktop> desktop = service.Create();
    if (!desktop) return;

    ComponentsOpt components;  // dwSize 12, both flags 0
    // When the options cannot be read the record holds no real flags, so it
    // is not written back: that could switch the desktop's components.
    const bool read = desktop->GetDesktopItemOptions(components);
    if (read && enableActiveDesktop && components.fActiveDesktop == 0) {
        components.fActiveDesktop = 1;
        desktop->SetDesktopItemOptions(components);
    }

    WallpaperOpt wallpaper;
    wallpaper.dwStyle = static_cast<std::uint32_t>(style);
    desktop->SetWallpaperOptions(wallpaper);
    desktop->SetWallpaper(path);
    desktop->ApplyChanges(AD_APPLY_SAVE | AD_APPLY_HTMLGEN | AD_APPLY_REFRESH);
    // Leaving scope releases the service object.
}

}  // namespace vlmr
