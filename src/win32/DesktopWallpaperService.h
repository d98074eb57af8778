#pragma once
// A picture of its own on each monitor, through the shell's DesktopWallpaper
// object (IDesktopWallpaper, Windows 8 and later).
#include <windows.h>

#include <memory>

#include "platform/WallpaperService.h"

namespace vlmr::win32 {

// Needs COM joined on the calling thread; comStart is the HRESULT of joining.
// nullptr, after a line in the log saying why, when the object cannot be made
// (Windows 7, or COM not joined): the desktop then gets one picture for all.
std::unique_ptr<MonitorWallpapers> CreateDesktopWallpaper(HRESULT comStart);

}  // namespace vlmr::win32
