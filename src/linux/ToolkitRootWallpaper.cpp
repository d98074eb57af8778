#include "ToolkitRootWallpaper.h"

#include "DesktopSetter.h"

namespace vlmr {
namespace {

// Checks the file as every setter does, then hands it to the module's.
class DeferredRootSetter : public DesktopSetter {
public:
    explicit DeferredRootSetter(ToolkitRootWallpaper& owner) : owner_(owner) {}

protected:
    bool Apply(const std::string& file, std::uint32_t style) override {
        const std::unique_ptr<ActiveDesktop> setter = owner_.Setter().Create();
        if (!setter) return false;  // it said why
        WallpaperOpt options;
        options.dwStyle = style;
        return setter->SetWallpaperOptions(options) && setter->SetWallpaper(file) &&
               setter->ApplyChanges(AD_APPLY_SAVE | AD_APPLY_HTMLGEN | AD_APPLY_REFRESH);
    }

private:
    ToolkitRootWallpaper& owner_;
};

}  // namespace

std::unique_ptr<ActiveDesktop> ToolkitRootWallpaper::Create() { return std::make_unique<DeferredRootSetter>(*this); }

WallpaperService& ToolkitRootWallpaper::Setter() {
    if (!setter_) setter_ = toolkit_.RootWallpaper();
    return *setter_;
}

}  // namespace vlmr
