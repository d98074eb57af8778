#pragma once
// The options a user may turn on, kept in the settings file's own
// [Options] section. With none of them set the program behaves exactly as
// without them: bitmaps only, Stretch distorts, and any entry may repeat.
// A value counts only when it matches exactly, letter case included;
// anything else is the default.
#include <string>
#include <string_view>
#include <vector>

#include "platform/SettingsStore.h"

namespace vlmr {

inline constexpr std::string_view kOptionsSection = "Options";
inline constexpr std::string_view kTypesKey = "Types";              // ".JPG .JPEG .PNG", one blank apart
inline constexpr std::string_view kProportionsKey = "Proportions";  // "Fill" or "Fit"
inline constexpr std::string_view kNoRepeatsKey = "NoRepeats";      // "True"
inline constexpr std::string_view kPerMonitorKey = "PerMonitor";    // "True"

// The picture types a user may add to ".BMP", each as its extension in
// capitals. A system offers the ones its desktops can show.
inline constexpr std::string_view kJpegTypes[] = {".JPG", ".JPEG"};
inline constexpr std::string_view kPngType = ".PNG";
inline constexpr std::string_view kGifType = ".GIF";
inline constexpr std::string_view kWebpType = ".WEBP";

// What Stretch does with the picture's proportions.
enum class Proportions { Stretch, Fill, Fit };

struct Options {
    std::vector<std::string> types;  // extensions besides ".BMP", in capitals, each offered by this system
    Proportions proportions = Proportions::Stretch;
    bool noRepeats = false;
    bool perMonitor = false;  // a picture of its own on each monitor, where the desktop can show that
};

// The options stored in the settings file; a type this system does not
// offer, or a word it does not know, is left out.
Options ReadOptions(SettingsStore& store, std::string_view settingsFile, const std::vector<std::string>& offered);

// The Types value for a set of extensions, in the order given.
std::string TypesValue(const std::vector<std::string>& types);

}  // namespace vlmr
