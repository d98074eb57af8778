#include "win32/ActiveDesktopService.h"

#include <windows.h>
// IActiveDesktop and its records are declared only with the URL limits of wininet.h.
#include <wininet.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

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
        if (FAILED(desktop_->GetDesktopItemOptions(&record, 0))) return false;
        options.fEnableComponents = static_cast<std::uint32_t>(record.fEnableComponents);
        options.fActiveDesktop = static_cast<std::uint32_t>(record.fActiveDesktop);
        return true;
    }

    bool SetDesktopItemOptions(const ComponentsOpt& options) override {
        COMPONENTSOPT record{};
        record.dwSize = options.dwSize;
        record.fEnableComponents = static_cast<BOOL>(options.fEnableComponents);
        record.fActiveDesktop = static_cast<BOOL>(options.fActiveDesktop);
        return SUCCEEDED(desktop_->SetDesktopItemOptions(&record, 0));
    }

    bool SetWallpaperOptions(const WallpaperOpt& options) override {
        WALLPAPEROPT record{};
        record.dwSize = options.dwSize;
        record.dwStyle = options.dwStyle;
        return SUCCEEDED(desktop_->SetWallpaperOptions(&record, 0));
    }

    bool SetWallpaper(const std::string& path) override {
        return SUCCEEDED(desktop_->SetWallpaper(Widen(path).c_str(), 0));
    }

    bool ApplyChanges(std::uint32_t flags) override { return SUCCEEDED(desktop_->ApplyChanges(flags)); }

private:
    Microsoft::WRL::ComPtr<IActiveDesktop> desktop_;  // released with this object
};

}  // namespace

std::unique_ptr<ActiveDesktop> ActiveDesktopService::Create() {
    Microsoft::WRL::ComPtr<IActiveDesktop> desktop;
    const HRESULT result = CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                            reinterpret_cast<void**>(desktop.GetAddressOf()));
    if (FAILED(result) || !desktop) return nullptr;
    return std::make_unique<ComActiveDesktop>(std::move(desktop));
}

}  // namespace vlmr::win32
