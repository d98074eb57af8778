#include "WallpaperChoice.h"

#include <cstdlib>

#include "X11RootWallpaper.h"

namespace vlmr {
namespace {
bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}
}  // namespace

std::unique_ptr<WallpaperService> ChooseWallpaperService() {
    if (IsSet("XDG_CURRENT_DESKTOP") || !IsSet("DISPLAY")) return std::make_unique<AbsentWallpaperService>();
    return std::make_unique<X11RootWallpaper>();
}

}  // namespace vlmr
