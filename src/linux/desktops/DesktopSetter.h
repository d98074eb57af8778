#pragma once
// What every Linux desktop's setter shares behind the Active Desktop shape:
// a desktop always shows its wallpaper, so there is nothing to switch on;
// the style and the file are remembered; one call then does the work, and
// storing and redrawing are a single act, so the apply flags change nothing.
// File names are bytes on Linux, in no particular encoding: they travel as
// bytes up to the hand-over.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/WallpaperService.h"

namespace vlmr {

// One line in the log saying why the wallpaper stays as it was.
void SayWallpaperUnchanged(const std::string& why);

class DesktopSetter : public ActiveDesktop {
public:
    bool GetDesktopItemOptions(ComponentsOpt& options) final {
        options.fEnableComponents = 0;
        options.fActiveDesktop = 1;
        return true;
    }
    bool SetDesktopItemOptions(const ComponentsOpt&) final { return true; }
    bool SetWallpaperOptions(const WallpaperOpt& options) final {
        if (options.dwStyle > WPSTYLE_CROPTOFIT) return false;
        style_ = options.dwStyle;
        return true;
    }
    bool SetWallpaper(const std::string& path) final {
        path_ = path;
        return true;
    }
    // Every desktop is handed the picture as a checked absolute file name:
    // none of them says a word about a missing file (plasma and xfdesktop
    // show an empty desktop, swaymsg reports success), and each resolves a
    // relative name against a working folder of its own.
    bool ApplyChanges(std::uint32_t) final {
        if (!style_ || !path_) return false;
        const std::optional<std::string> file = PictureFile(*path_);
        return file && Apply(*file, *style_);
    }

protected:
    // Sets the file, an absolute name of a regular file, in the style (0
    // center, 1 tile, 2 stretch, 3 fit inside with bars, 4 fill and crop);
    // false when anything fails, and then the desktop is as it was.
    virtual bool Apply(const std::string& file, std::uint32_t style) = 0;

public:
    // Also for the setters that give each monitor a picture of its own.
    // The picture as a desktop must be given it: absolute against our
    // working folder and naming a regular file. nullopt, after a line in
    // the log, when it is not such a file.
    static std::optional<std::string> PictureFile(const std::string& path);
    // For mechanisms that carry only UTF-8 text: a name in another encoding
    // cannot be said to them. false, after a line in the log, for such a name.
    static bool NameIsUtf8(const std::string& file, const char* mechanism);
    // One line in the log saying why the picture was not set; always false.
    static bool Refuse(const std::string& file, const char* why);

private:
    std::optional<std::uint32_t> style_;
    std::optional<std::string> path_;
};

}  // namespace vlmr
