#pragma once
// Which wallpaper setter serves this session.
#include <memory>

#include "DesktopChoice.h"
#include "platform/WallpaperService.h"

namespace vlmr {

// The setter for that desktop.
std::unique_ptr<WallpaperService> MakeWallpaperService(DesktopKind desktop);

// The setter for this process's session; its mechanism names the reason.
std::unique_ptr<WallpaperService> ChooseWallpaperService();

}  // namespace vlmr
