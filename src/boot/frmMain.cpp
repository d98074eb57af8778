#include "boot/frmMain.h"

#include <cmath>
#include <cstdint>
#include <memory>

#include "BuildConfig.h"
#include "boot/ApplyWallpaper.h"
#include "boot/KeyedPermutation.h"
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

    if (!RunPerMonitor()) {
        DrawImage();
        rt.DeliverPendingMessages();

        SelectedImage = PictureOf(PList.Selected(), "");

        if (const std::optional<std::int32_t> style = HandedStyle(s_.wallpaper.Mechanism()))
            ApplyWallpaper(s_.wallpaper, SelectedImage, *style, true);
    }

    view_.Unload();
    rt.EndProgram();
}

std::string frmMain::PictureOf(std::optional<std::size_t> entry, const std::string& where) {
    std::string picture = entry ? std::string(PList.Item(*entry)) : std::string();
    if (!picture.empty()) {
        LogInfo(where + "drawn entry " + std::to_string(*entry + 1) + " of " + std::to_string(PList.Count()) + ": " +
                picture);
        return picture;
    }
    // The fallback picture is for a list with nothing to offer at that place.
    picture = s_.runtime.FallbackImage();
    LogInfo(where + (entry ? "the drawn entry is an empty line" : "the list is empty") + ": the fallback picture " +
            picture);
    return picture;
}

std::optional<std::int32_t> frmMain::HandedStyle(const std::string& desktop) {
    Runtime& rt = s_.runtime;
    const std::string style = ReadIniValue(s_.settings, "VLMR", "Style", rt.AppFile("Config.ini"));
    const std::optional<std::int32_t> code = StyleCode(style);
    if (!code) {
        LogError("the stored style \"" + style + "\" in " + rt.AppFile("Config.ini") +
                 " is none of Center, Tile and Stretch, so the wallpaper stays as it was");
        return std::nullopt;
    }
    // Only Stretch scales the picture, so only it asks how to keep its proportions.
    const Proportions proportions = *code == WPSTYLE_STRETCH ? StoredOptions().proportions : Proportions::Stretch;
    LogInfo("style " + style + ProportionsNote(proportions) + "; desktop: " + desktop);
    return ProportionedStyle(*code, proportions);
}

bool frmMain::RunPerMonitor() {
    // An empty list has only the fallback picture to give every monitor.
    if (PList.Count() == 0 || !StoredOptions().perMonitor) return false;
    Runtime& rt = s_.runtime;
    const std::unique_ptr<MonitorWallpapers> desktop = s_.wallpaper.CreatePerMonitor();
    if (!desktop) {
        LogInfo("PerMonitor is on, but this desktop shows one picture on every monitor");
        return false;
    }
    const std::vector<std::string> monitors = desktop->Monitors();
    if (monitors.empty()) {
        LogInfo("PerMonitor is on, but the monitors cannot be told: one picture for every monitor");
        return false;
    }

    const std::vector<std::size_t> drawn = DrawForMonitors(monitors.size());
    rt.DeliverPendingMessages();
    std::vector<std::string> pictures;
    for (std::size_t i = 0; i < monitors.size(); ++i) pictures.push_back(PictureOf(drawn[i], "monitor " + monitors[i] + ": "));
    PList.Select(drawn.front());
    SelectedImage = pictures.front();

    const std::string own = desktop->Mechanism();
    if (const std::optional<std::int32_t> style =
            HandedStyle((own.empty() ? s_.wallpaper.Mechanism() : own) + ", a picture per monitor")) {
        const std::vector<bool> shown = desktop->SetWallpapers(pictures, *style);
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            if (i < shown.size() && shown[i])
                LogInfo("wallpaper set on monitor " + monitors[i] + ": " + pictures[i]);
            else
                LogError("monitor " + monitors[i] + " keeps its wallpaper");
        }
    }
    return true;
}

std::vector<std::size_t> frmMain::DrawForMonitors(std::size_t monitors) {
    const std::size_t count = PList.Count();
    if (count > 1 && StoredOptions().noRepeats) return DrawWithoutRepeats(s_.files, s_.runtime, PList, monitors);
    // The first places of a shuffled order are as many different entries as
    // the list can give; past its end the order starts again.
    const auto micros = static_cast<std::uint64_t>(std::llround(s_.runtime.SecondsSinceMidnight() * 1e6));
    const KeyedPermutation order(count, Mix64(micros));
    std::vector<std::size_t> drawn;
    for (std::size_t i = 0; i < monitors; ++i) drawn.push_back(static_cast<std::size_t>(order.At(i % count)));
    return drawn;
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
