#include "win32/ActiveDesktopService.h"

#include <windows.h>
// IActiveDesktop and its records are declared only with the URL limits of wininet.h.
#include <wininet.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "store/RunLog.h"
#include "win32/DesktopWallpaperService.h"
#include "win32/WinError.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

// The core sees only that a step failed; the reason is the component's own.
bool Succeeded(HRESULT result, const char* call) {
    if (SUCCEEDED(result)) return true;
    LogError(std::string("Active Desktop: ") + call + " failed: " + HResultDescription(result));
    return false;
}

// The seam's records are the platform's, field for field.
static_assert(sizeof(COMPONENTSOPT) == 12 && sizeof(WALLPAPEROPT) == 8);

class ComActiveDesktop : public ActiveDesktop {
public:
    explicit ComActiveDesktop(Microsoft::WRL::ComPtr<IActiveDesktop> desktop) : desktop_(std::move(desktop)) {}

    bool GetDesktopItemOptions(ComponentsOpt& options) override {
        COMPONENTSOPT record{};
        record.dwSize = options.dwSize;
        record.fEnableComponents = static_cast<BOOL>(options.fEnableComponents);
        record.fActiveDesktop = static_cast<BOOL>(options.fActiveDesktop);
        if (!Succeeded(desktop_->GetDesktopItemOptions(&record, 0), "GetDesktopItemOptions")) return false;
        options.fEnableComponents = static_cast<std::uint32_t>(record.fEnableComponents);
        options.fActiveDesktop = static_cast<std::uint32_t>(record.fActiveDesktop);
        return true;
    }

    bool SetDesktopItemOptions(const ComponentsOpt& options) override {
        COMPONENTSOPT record{};
        record.dwSize = options.dwSize;
        record.fEnableComponents = static_cast<BOOL>(options.fEnableComponents);
        record.fActiveDesktop = static_cast<BOOL>(options.fActiveDesktop);
        return Succeeded(desktop_->SetDesktopItemOptions(&record, 0), "SetDesktopItemOptions");
    }

    bool SetWallpaperOptions(const WallpaperOpt& options) override {
        WALLPAPEROPT record{};
        record.dwSize = options.dwSize;
        record.dwStyle = options.dwStyle;
        return Succeeded(desktop_->SetWallpaperOptions(&record, 0), "SetWallpaperOptions");
    }

    bool SetWallpaper(const std::string& path) override {
        return Succeeded(desktop_->SetWallpaper(Widen(path).c_str(), 0), "SetWallpaper");
    }

    bool ApplyChanges(std::uint32_t flags) override {
        return Succeeded(desktop_->ApplyChanges(flags), "ApplyChanges");
    }

private:
    Microsoft::WRL::ComPtr<IActiveDesktop> desktop_;  // released with this object
};

}  // namespace

std::unique_ptr<ActiveDesktop> ActiveDesktopService::Create() {
    if (!Succeeded(comStart_, "joining COM")) return nullptr;
    Microsoft::WRL::ComPtr<IActiveDesktop> desktop;
    const HRESULT result = CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                            reinterpret_cast<void**>(desktop.GetAddressOf()));
    if (!Succeeded(result, "CoCreateInstance") || !desktop) return nullptr;
    return std::make_unique<ComActiveDesktop>(std::move(desktop));
}

std::unique_ptr<MonitorWallpapers> ActiveDesktopService::CreatePerMonitor() {
    return CreateDesktopWallpaper(comStart_);
}

}  // namespace vlmr::win32
