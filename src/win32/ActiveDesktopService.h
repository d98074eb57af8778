#pragma once
// The wallpaper service on the shell's Active Desktop object, and, where
// Windows has it, the DesktopWallpaper object for a picture per monitor.
#include "platform/WallpaperService.h"

namespace vlmr::win32 {

// Needs COM initialised on the calling thread (see ComApartment).
class ActiveDesktopService : public WallpaperService {
public:
    // comStart: the HRESULT of joining COM on this thread. When that failed
    // the service counts as absent: no object of the shell can be made.
    explicit ActiveDesktopService(long comStart = 0) : comStart_(comStart) {}
    std::unique_ptr<ActiveDesktop> Create() override;
    std::unique_ptr<MonitorWallpapers> CreatePerMonitor() override;
    std::string Mechanism() override { return "Active Desktop (IActiveDesktop)"; }

private:
    long comStart_;
};

}  // namespace vlmr::win32
