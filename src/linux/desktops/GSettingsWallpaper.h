#pragma once
// The wallpaper of the desktops that keep it in GSettings: GNOME and its
// relatives (Unity, Budgie, Ubuntu's session), Cinnamon and MATE. Each
// desktop watches its own background schema and redraws when it changes.
#include <memory>

#include "platform/WallpaperService.h"

namespace vlmr {

enum class GSettingsFamily {
    Gnome,     // org.gnome.desktop.background: picture-uri (+ picture-uri-dark), a file:// URI
    Cinnamon,  // org.cinnamon.desktop.background: the same keys
    Mate,      // org.mate.background: picture-filename, a plain path
};

class GSettingsWallpaper : public WallpaperService {
public:
    explicit GSettingsWallpaper(GSettingsFamily family) : family_(family) {}

    GSettingsFamily family() const { return family_; }

    // nullptr when the family's schema is not installed or lacks the keys
    // we write.
    std::unique_ptr<ActiveDesktop> Create() override;
    std::string Mechanism() override;

private:
    GSettingsFamily family_;
};

}  // namespace vlmr
