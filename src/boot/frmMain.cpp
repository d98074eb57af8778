#include "boot/frmMain.h"

#include <cstdint>

#include "BuildConfig.h"
#include "boot/ApplyWallpaper.h"
#include "boot/ModMain.h"
#include "shell/OpenWebPage.h"
#include "store/INIMod.h"
#include "store/ImageListFile.h"

namespace vlmr {

frmMain::frmMain(Services services, MainView& view, std::function<void()> showConfigurator)
    : s_(services), view_(view), showConfigurator_(std::move(showConfigurator)) {}

void frmMain::Load() {
    Runtime& rt = s_.runtime;

    // A check that fails counts as another copy running: refusing is safer
    // than two copies writing the same files.
    if (rt.CheckOtherInstance() != InstanceCheck::Alone) {
        rt.ShowMessage("Velmora Is Allready Running", "Velmora", MessageIcon::Warning);
        view_.Unload();
        rt.EndProgram();
        return;
    }

    // Exactly "Config", letter case included; anything else is a boot run.
    if (rt.CommandLineText() == "Config") {
        view_.Hide();
        showConfigurator_();
        return;
    }

    view_.Show();
    view_.Focus();
    rt.DeliverPendingMessages();  // paint the banner

    // A marker that cannot be looked for counts as missing.
    const std::optional<bool> installed = FileExists(s_.files, rt.AppFile("Installed"));
    if (!installed.value_or(false)) {
        rt.ShowMessage("Please Configure", "Velmora", MessageIcon::Information);
        view_.Hide();
        showConfigurator_();
        return;
    }

    if (!LoadListFromFile(s_.files, rt, rt.AppFile("IPaths.dat"), PList)) return;  // the program has ended
    rt.DeliverPendingMessages();

    DrawImage();
    rt.DeliverPendingMessages();

    if (SelectedImage.empty()) SelectedImage = rt.FallbackImage();

    const std::string style = ReadIniValue(s_.settings, "VLMR", "Style", rt.AppFile("Config.ini"));
    if (style == "Center") ApplyWallpaper(s_.wallpaper, SelectedImage, WPSTYLE_CENTER, true);
    if (style == "Tile") ApplyWallpaper(s_.wallpaper, SelectedImage, WPSTYLE_TILE, true);
    if (style == "Stretch") ApplyWallpaper(s_.wallpaper, SelectedImage, WPSTYLE_STRETCH, true);

    view_.Unload();
    rt.EndProgram();
}

void frmMain::DrawImage() {
    // Draw among the entries only: the fallback picture is for a list with
    // nothing to offer, not a rival to the user's own images.
    const std::size_t count = PList.Count();
    if (count > 0) {
        double drawn = 0;  // a draw that fails leaves the first entry
        if (count <= static_cast<std::size_t>(INT32_MAX)) {
            if (auto d = RandomBetween(s_.runtime, static_cast<std::int32_t>(count - 1), 0)) drawn = *d;
        }
        PList.Select(static_cast<std::size_t>(drawn));
    }
    SelectedImage = PList.Selected() ? std::string(PList.Item(*PList.Selected())) : std::string();
}

void frmMain::Click() { OpenWebPage(s_.runtime, s_.shell, view_.Handle(), kHomePage); }

}  // namespace vlmr
