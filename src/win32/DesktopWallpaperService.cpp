// The SDK declares IDesktopWallpaper only for Windows 8 and later. The object
// is asked for at run time, so Windows 7 still runs this program: there the
// creation fails and the run falls back to one picture for every monitor.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602

#include "win32/DesktopWallpaperService.h"

#include <shobjidl.h>
#include <wrl/client.h>

#include <string>
#include <utility>
#include <vector>

#include "store/RunLog.h"
#include "win32/WinError.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

// Our style codes are the desktop's positions, number for number.
constexpr bool Same(DESKTOP_WALLPAPER_POSITION position, WallpaperStyle style) {
    return static_cast<int>(position) == static_cast<int>(style);
}
static_assert(Same(DWPOS_CENTER, WPSTYLE_CENTER) && Same(DWPOS_TILE, WPSTYLE_TILE) &&
              Same(DWPOS_STRETCH, WPSTYLE_STRETCH) && Same(DWPOS_FIT, WPSTYLE_KEEPASPECT) &&
              Same(DWPOS_FILL, WPSTYLE_CROPTOFIT));

void LogFailure(const std::string& what, HRESULT result) {
    LogError("IDesktopWallpaper: " + what + " failed: " + HResultDescription(result));
}

// A string the object allocated for us, freed with the allocator it used.
class CoTaskText {
public:
    CoTaskText() = default;
    ~CoTaskText() { CoTaskMemFree(text_); }
    CoTaskText(const CoTaskText&) = delete;
    CoTaskText& operator=(const CoTaskText&) = delete;
    LPWSTR* Receive() { return &text_; }
    std::wstring Text() const { return text_ != nullptr ? std::wstring(text_) : std::wstring(); }

private:
    LPWSTR text_ = nullptr;
};

class ComMonitorWallpapers : public MonitorWallpapers {
public:
    explicit ComMonitorWallpapers(Microsoft::WRL::ComPtr<IDesktopWallpaper> wallpaper)
        : wallpaper_(std::move(wallpaper)) {}

    std::vector<std::string> Monitors() override {
        ids_.clear();
        std::vector<std::string> described;
        UINT count = 0;
        if (const HRESULT result = wallpaper_->GetMonitorDevicePathCount(&count); FAILED(result)) {
            LogFailure("GetMonitorDevicePathCount", result);
            return described;
        }
        for (UINT index = 0; index < count; ++index) {
            CoTaskText id;
            if (const HRESULT result = wallpaper_->GetMonitorDevicePathAt(index, id.Receive()); FAILED(result)) {
                LogFailure("GetMonitorDevicePathAt " + std::to_string(index), result);
                continue;
            }
            const std::wstring path = id.Text();
            RECT place{};
            // A monitor that is known but detached has no place on the desktop:
            // the call fails, or (to be safe) answers without a rectangle.
            const HRESULT result = wallpaper_->GetMonitorRECT(path.c_str(), &place);
            if (result != S_OK || place.right <= place.left || place.bottom <= place.top) {
                LogInfo("IDesktopWallpaper: monitor " + Narrow(path) + " is not attached, so it is left out (" +
                        (FAILED(result) ? HResultDescription(result) : std::string("no rectangle")) + ")");
                continue;
            }
            described.push_back(Narrow(path) + " " + std::to_string(place.right - place.left) + "x" +
                                std::to_string(place.bottom - place.top) + (place.left < 0 ? "" : "+") +
                                std::to_string(place.left) + (place.top < 0 ? "" : "+") + std::to_string(place.top));
            ids_.push_back(path);
        }
        if (described.empty()) LogError("IDesktopWallpaper: the desktop names no monitor that shows a picture");
        return described;
    }

    std::vector<bool> SetWallpapers(const std::vector<std::string>& pictures, std::int32_t style) override {
        std::vector<bool> shown(ids_.size(), false);
        if (style < WPSTYLE_CENTER || style > WPSTYLE_CROPTOFIT) {
            LogError("IDesktopWallpaper: no position for style " + std::to_string(style));
            return shown;
        }
        // The position is one for the whole desktop; a picture in the wrong
        // one is not what was asked for, so without it nothing is set.
        if (const HRESULT result = wallpaper_->SetPosition(static_cast<DESKTOP_WALLPAPER_POSITION>(style));
            FAILED(result)) {
            LogFailure("SetPosition " + std::to_string(style), result);
            return shown;
        }
        for (std::size_t monitor = 0; monitor < ids_.size(); ++monitor) {
            if (monitor >= pictures.size()) {
                LogError("IDesktopWallpaper: no picture for monitor " + Narrow(ids_[monitor]));
                continue;
            }
            const HRESULT result = wallpaper_->SetWallpaper(ids_[monitor].c_str(), Widen(pictures[monitor]).c_str());
            if (FAILED(result))
                LogFailure("SetWallpaper " + Narrow(ids_[monitor]) + " " + pictures[monitor], result);
            else
                shown[monitor] = true;
        }
        return shown;
    }

    std::string Mechanism() override { return "the desktop's wallpaper object (IDesktopWallpaper)"; }

private:
    Microsoft::WRL::ComPtr<IDesktopWallpaper> wallpaper_;  // released with this object
    std::vector<std::wstring> ids_;  // the device paths behind the last Monitors(), in its order
};

}  // namespace

std::unique_ptr<MonitorWallpapers> CreateDesktopWallpaper(HRESULT comStart) {
    Microsoft::WRL::ComPtr<IDesktopWallpaper> wallpaper;
    HRESULT result = comStart;
    if (SUCCEEDED(result)) {
        result = CoCreateInstance(CLSID_DesktopWallpaper, nullptr, CLSCTX_ALL, IID_IDesktopWallpaper,
                                  reinterpret_cast<void**>(wallpaper.GetAddressOf()));
        if (SUCCEEDED(result) && !wallpaper) result = E_NOINTERFACE;
    }
    if (FAILED(result)) {
        LogError("the desktop cannot take a picture per monitor (IDesktopWallpaper: " + HResultDescription(result) +
                 "); one picture for every monitor");
        return nullptr;
    }
    return std::make_unique<ComMonitorWallpapers>(std::move(wallpaper));
}

}  // namespace vlmr::win32
