#include "boot/frmMain.h"

#include <cstdint>

#include "BuildConfig.h"
#include "boot/ApplyWallpaper.h"
#include "boot/ModMain.h"
#include "boot/ProportionedStyle.h"
#include "boot/ShownRound.h"
#include "shell/OpenWebPage.h"
#include "store/INIMod.h"
#include "store/ImageListFile.h"
#include "store/Options.h"
#include "store/RunLog.h"
#include "store/StyleWords.h"

namespace vlmr {

frmMain::frmMain(Services services, MainView& view, std::function<void()> showConfigurator)
    : s_(services), view_(view), showConfigurator_(std::move(showConfigurator)) {}

void frmMain::Load() {
    Runtime& rt = s_.runtime;

    // A check that fails counts as another copy running: refusing is safer
    // than two copies writing the same files.
    const InstanceCheck instance = rt.CheckOtherInstance();
    if (instance != InstanceCheck::Alone) {
        LogInfo(std::string("VLMR ") + kVersionText + " started; " +
                (instance == InstanceCheck::AnotherRunning
                     ? "another copy is running, so this one ends"
                     : "whether another copy runs cannot be told, so this one ends"));
        rt.ShowMessage("Velmora Is Allready Running", "Velmora", MessageIcon::Warning);
        view_.Unload();
        rt.EndProgram();
        return;
    }

    RollOverLog();

    // Exactly "Config", letter case included; anything else is a boot run.
    if (rt.CommandLineText() == "Config") {
        LogInfo(std::string("VLMR ") + kVersionText + " started: configurator");
        view_.Hide();
        showConfigurator_();
        return;
    }

    LogInfo(std::string("VLMR ") + kVersionText + " started: boot run");
    view_.Show();
    view_.Focus();
    rt.DeliverPendingMessages();  // paint the banner

    // A marker that cannot be looked for counts as missing.
    const std::optional<bool> installed = FileExists(s_.files, rt.AppFile("Installed"));
    if (!installed.value_or(false)) {
        LogInfo(installed ? "no installed marker yet: the configurator opens"
                          : "the installed marker cannot be looked for, so it counts as missing: the configurator opens");
        rt.ShowMessage("Please Configure", "Velmora", MessageIcon::Information);
        view_.Hide();
        showConfigurator_();
        return;
    }

    if (!LoadListFromFile(s_.files, rt, rt.AppFile("IPaths.dat"), PList)) return;  // the program has ended
    LogInfo("image list " + rt.AppFile("IPaths.dat") + ": " + std::to_string(PList.Count()) + " entries");
    rt.DeliverPendingMessages();

    DrawImage();
    rt.DeliverPendingMessages();

    if (SelectedImage.empty()) {
        SelectedImage = rt.FallbackImage();
        LogInfo(PList.Count() == 0 ? "the list is empty: the fallback picture " + SelectedImage
                                   : "the drawn entry is an empty line: the fallback picture " + SelectedImage);
    } else {
        LogInfo("drawn entry " + std::to_string(*PList.Selected() + 1) + " of " + std::to_string(PList.Count()) +
                ": " + SelectedImage);
    }

    const std::string style = ReadIniValue(s_.settings, "VLMR", "Style", rt.AppFile("Config.ini"));
    if (const std::optional<std::int32_t> code = StyleCode(style)) {
        // Only Stretch scales the picture, so only it asks how to keep its proportions.
        const Proportions proportions =
            *code == WPSTYLE_STRETCH
                ? StoredOptions().proportions
                : Proportions::Stretch;
        LogInfo("style " + style + ProportionsNote(proportions) + "; desktop: " + s_.wallpaper.Mechanism());
        ApplyWallpaper(s_.wallpaper, SelectedImage, ProportionedStyle(*code, proportions), true);
    } else {
        LogError("the stored style \"" + style + "\" in " + rt.AppFile("Config.ini") +
                 " is none of Center, Tile and Stretch, so the wallpaper stays as it was");
    }

    view_.Unload();
    rt.EndProgram();
}

void frmMain::DrawImage() {
    // Draw among the entries only: the fallback picture is for a list with
    // nothing to offer, not a rival to the user's own images.
    const std::size_t count = PList.Count();
    // One entry or none leaves nothing to vary: the options are not even read.
    if (count > 1 && StoredOptions().noRepeats) {
        PList.Select(DrawWithoutRepeats(s_.files, s_.runtime, PList));
    } else if (count > 0) {
        double drawn = 0;  // a draw that fails leaves the first entry
        if (count <= static_cast<std::size_t>(INT32_MAX)) {
            if (auto d = RandomBetween(s_.runtime, static_cast<std::int32_t>(count - 1), 0)) drawn = *d;
        }
        PList.Select(static_cast<std::size_t>(drawn));
    }
    SelectedImage = PList.Selected() ? std::string(PList.Item(*PList.Selected())) : std::string();
}

const Options& frmMain::StoredOptions() {
    if (!options_)
        options_ = ReadOptions(s_.settings, s_.runtime.AppFile("Config.ini"), s_.runtime.OfferedPictureTypes());
    return *options_;
}

void frmMain::Click() { OpenWebPage(s_.runtime, s_.shell, view_.Handle(), kHomePage); }

}  // namespace vlmr
