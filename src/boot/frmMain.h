#pragma once
// The start-up window: its load decides what a start of the program does.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Runtime.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/WallpaperService.h"
#include "store/ListBox.h"
#include "store/Options.h"

namespace vlmr {

// What a real start-up window must do for the presenter.
class MainView {
public:
    virtual ~MainView() = default;
    virtual void Show() = 0;   // modeless, centred on the screen
    virtual void Focus() = 0;  // keyboard focus
    virtual void Hide() = 0;
    virtual void Unload() = 0;  // the window disappears for good
    virtual WindowHandle Handle() = 0;
};

struct Services {
    Runtime& runtime;
    FileSystem& files;
    SettingsStore& settings;
    WallpaperService& wallpaper;
    Shell& shell;
};

class frmMain {
public:
    frmMain(Services services, MainView& view, std::function<void()> showConfigurator);

    // The start-up dispatch: refuse a second instance, open the configurator,
    // or do the boot run and end the program.
    void Load();
    // A click on the window's surface opens the home page.
    void Click();

    ListBox PList;              // the image list during a boot run
    std::string SelectedImage;  // the drawn path on its way to the wallpaper

private:
    void DrawImage();
    // The entries for that many monitors: all different while the list has
    // enough of them, then repeating.
    std::vector<std::size_t> DrawForMonitors(std::size_t monitors);
    // The boot run with a picture of its own on each monitor; false, with
    // nothing done but a line in the log, where it does not apply.
    bool RunPerMonitor();
    // The picture of a drawn entry, or the fallback picture for an empty
    // line or (no entry) an empty list, after its line in the log, which
    // `where` begins.
    std::string PictureOf(std::optional<std::size_t> entry, const std::string& where);
    // The stored style as handed to the desktop, after the log's "style"
    // line ending in `desktop`; nothing, after a line saying so, for a word
    // that is no style.
    std::optional<std::int32_t> HandedStyle(const std::string& desktop);
    // The [Options] section, read the first time a course needs it and then
    // kept: the draw and the style of one boot run read the file once.
    const Options& StoredOptions();

    Services s_;
    std::optional<Options> options_;
    MainView& view_;
    std::function<void()> showConfigurator_;
};

}  // namespace vlmr
