#pragma once
// The desktop wallpaper service in the shape of the Windows Active Desktop
// object: read and write the component options, set style and file, apply.
// Other desktops offer the same operations through their own mechanisms.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vlmr {

struct ComponentsOpt {
    std::uint32_t dwSize = 12;
    std::uint32_t fEnableComponents = 0;
    std::uint32_t fActiveDesktop = 0;
};

struct WallpaperOpt {
    std::uint32_t dwSize = 8;
    std::uint32_t dwStyle = 0;
};

// Stretch keeping proportions: fit inside with bars (KEEPASPECT), or fill
// the screen and crop (CROPTOFIT); only the Proportions option asks for them.
enum WallpaperStyle : std::int32_t {
    WPSTYLE_CENTER = 0,
    WPSTYLE_TILE = 1,
    WPSTYLE_STRETCH = 2,
    WPSTYLE_KEEPASPECT = 3,
    WPSTYLE_CROPTOFIT = 4,
};

inline constexpr std::uint32_t AD_APPLY_SAVE = 1;
inline constexpr std::uint32_t AD_APPLY_HTMLGEN = 2;
inline constexpr std::uint32_t AD_APPLY_REFRESH = 4;

// One live service object. Destroying it releases it.
class ActiveDesktop {
public:
    virtual ~ActiveDesktop() = default;
    virtual bool GetDesktopItemOptions(ComponentsOpt& options) = 0;
    virtual bool SetDesktopItemOptions(const ComponentsOpt& options) = 0;
    virtual bool SetWallpaperOptions(const WallpaperOpt& options) = 0;
    virtual bool SetWallpaper(const std::string& path) = 0;
    virtual bool ApplyChanges(std::uint32_t flags) = 0;
};

// A desktop that shows a picture of its own on each monitor. The monitors
// are asked for first; the pictures then come in the same order.
class MonitorWallpapers {
public:
    virtual ~MonitorWallpapers() = default;
    // Each monitor, in the desktop's order, in words for the log: its name,
    // and its place where the desktop tells it. Empty, after a line in the
    // log, when the monitors cannot be told.
    virtual std::vector<std::string> Monitors() = 0;
    // Shows pictures[i] on monitor i, in the style (a WallpaperStyle), fitted
    // to that monitor's own rectangle. One answer per monitor: true where it
    // now shows its picture. A monitor whose picture cannot be shown keeps
    // what it showed, after a line in the log saying why.
    virtual std::vector<bool> SetWallpapers(const std::vector<std::string>& pictures, std::int32_t style) = 0;
    // How the pictures reach the monitors, in words for the log, where that
    // is not the service's own mechanism; empty where it is.
    virtual std::string Mechanism() { return {}; }
};

class WallpaperService {
public:
    virtual ~WallpaperService() = default;
    // A new service object, or nullptr when the service is absent.
    virtual std::unique_ptr<ActiveDesktop> Create() = 0;
    // The service that gives each monitor its own picture, or nullptr where
    // the desktop shows one picture on all of them (then with a line in the
    // log when the desktop could have and the service cannot be reached).
    virtual std::unique_ptr<MonitorWallpapers> CreatePerMonitor() { return nullptr; }
    // How this service reaches the desktop, and why it was chosen, in words
    // for the log.
    virtual std::string Mechanism() = 0;
};

}  // namespace vlmr
