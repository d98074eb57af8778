#pragma once
// The options window: the picture types the scan takes besides bitmaps,
// what Stretch does with a picture's proportions, whether the draw shows
// every picture once before any repeats, and whether each monitor gets a
// picture of its own. Opening it shows what is stored and stores nothing;
// each option is stored the moment its control changes, in the settings
// file's [Options] section.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "config/OptionsLayout.h"
#include "platform/Runtime.h"
#include "platform/SettingsStore.h"
#include "store/Options.h"

namespace vlmr {

// In the order of the check boxes.
enum class PictureType { Jpeg, Png, Gif, Webp };
inline constexpr PictureType kPictureTypes[] = {PictureType::Jpeg, PictureType::Png, PictureType::Gif,
                                                PictureType::Webp};

// The check box of a type, by its name in the layout.
constexpr const char* TypeControl(PictureType type) {
    constexpr const char* names[] = {"TJpeg", "TPng", "TGif", "TWebp"};
    return names[static_cast<int>(type)];
}
// The option of a proportions mode, by its name in the layout.
constexpr const char* ProportionsControl(Proportions proportions) {
    constexpr const char* names[] = {"SStretch", "SFill", "SFit"};
    return names[static_cast<int>(proportions)];
}

// What a real options window must do for the presenter. What the presenter
// sets is not the user's doing and comes back as no change.
class OptionsView {
public:
    virtual ~OptionsView() = default;
    // Shows the window over the configurator, which waits until it is closed.
    virtual void Show() = 0;
    virtual void ShowType(PictureType type, bool shown) = 0;
    virtual void SetTypeCheck(PictureType type, bool checked) = 0;
    virtual void SetProportions(Proportions proportions) = 0;
    virtual void SetNoRepeatsCheck(bool checked) = 0;
    virtual void SetPerMonitorCheck(bool checked) = 0;
};

class frmOptions {
public:
    frmOptions(Runtime& runtime, SettingsStore& settings, OptionsView& view);

    // Reads the stored options, sets the controls and shows the window.
    void Open();
    // Reads the stored options and sets the controls; writes nothing.
    void Load();

    // The user's changes: each one that changes a state stores its option.
    void SetType(PictureType type, bool checked);
    void SelectProportions(Proportions proportions);
    void SetNoRepeats(bool checked);
    void SetPerMonitor(bool checked);

    static constexpr const char* kTitle = kOptionsWindow.caption;

    std::array<bool, std::size(kPictureTypes)> TypeChecked{};
    Proportions Stretching = Proportions::Stretch;
    bool NoRepeats = false;
    bool PerMonitor = false;

private:
    // The extensions a type stands for; none when this system does not offer them all.
    std::vector<std::string> ExtensionsOf(PictureType type);
    void Store(std::string_view key, std::string_view value);

    Runtime& runtime_;
    SettingsStore& settings_;
    OptionsView& view_;
    std::vector<std::string> offered_;
};

}  // namespace vlmr
