#include "boot/ApplyWallpaper.h"

#include <string>

#include "store/RunLog.h"

namespace vlmr {
namespace {

// Each step of the hand-over leaves a line, so a desktop that shows no
// change can be traced to the step that failed.
bool Step(bool done, const std::string& what) {
    if (done)
        LogInfo("wallpaper service: " + what + ": done");
    else
        LogError("wallpaper service: " + what + ": failed");
    return done;
}

}  // namespace

void ApplyWallpaper(WallpaperService& service, const std::string& path, std::int32_t style,
                    bool enableActiveDesktop) {
    std::unique_ptr<ActiveDesktop> desktop = service.Create();
    if (!desktop) {
        LogError("wallpaper service: not available, so the wallpaper stays as it was");
        return;
    }

    ComponentsOpt components;  // dwSize 12, both flags 0
    // When the options cannot be read the record holds no real flags, so it
    // is not written back: that could switch the desktop's components.
    const bool read = Step(desktop->GetDesktopItemOptions(components), "read the desktop options");
    if (read && enableActiveDesktop && components.fActiveDesktop == 0) {
        components.fActiveDesktop = 1;
        Step(desktop->SetDesktopItemOptions(components), "switch Active Desktop on");
    }

    WallpaperOpt wallpaper;
    wallpaper.dwStyle = static_cast<std::uint32_t>(style);
    Step(desktop->SetWallpaperOptions(wallpaper), "set style " + std::to_string(style));
    const bool fileSet = Step(desktop->SetWallpaper(path), "set file " + path);
    const bool applied = Step(desktop->ApplyChanges(AD_APPLY_SAVE | AD_APPLY_HTMLGEN | AD_APPLY_REFRESH), "apply");
    // Only a file that was taken and applied is the new wallpaper.
    if (fileSet && applied) LogInfo("wallpaper set: " + path);
    // Leaving scope releases the service object.
}

}  // namespace vlmr
