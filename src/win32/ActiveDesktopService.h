#pragma once
// The wallpaper service on the shell's Active Desktop object.
#include "platform/WallpaperService.h"

namespace vlmr::win32 {

// Needs COM initialised on the calling thread (see ComApartment).
class ActiveDesktopService : public WallpaperService {
public:
    std::unique_ptr<ActiveDesktop> Create() override;
    std::string Mechanism() override { return "Active Desktop (IActiveDesktop)"; }
};

}  // namespace vlmr::win32
