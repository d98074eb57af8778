#pragma once
// The options window: a fixed single border with a close box, owned by the
// configurator. The picture types sit in one row; the WebP box is shown only
// where the system offers the type, and the row simply ends early elsewhere.
#include "platform/WindowLayout.h"

namespace vlmr {

inline constexpr layout::Window kOptionsWindow{"Velmora Options", 4800, 3060};

// What opens the window: the configurator's system menu on Windows, its
// background's context menu on Linux.
inline constexpr const char* kOptionsMenuEntry = "Options...";

inline constexpr layout::Control kOptionsControls[] = {
    {"TFrm", layout::Kind::Frame, nullptr, " Picture Types ", {120, 120, 4560, 795}, 0, layout::kDialogBold},
    {"TJpeg", layout::Kind::CheckBox, "TFrm", "JPEG", {120, 360, 975, 255}, 1},
    {"TPng", layout::Kind::CheckBox, "TFrm", "PNG", {1200, 360, 975, 255}, 2},
    {"TGif", layout::Kind::CheckBox, "TFrm", "GIF", {2280, 360, 975, 255}, 3},
    {"TWebp", layout::Kind::CheckBox, "TFrm", "WebP", {3360, 360, 975, 255}, 4},
    {"SFrm", layout::Kind::Frame, nullptr, " When Stretching ", {120, 1035, 4560, 1335}, 5, layout::kDialogBold},
    {"SStretch", layout::Kind::Option, "SFrm", "Stretch", {120, 360, 3000, 195}, 6},
    {"SFill", layout::Kind::Option, "SFrm", "Fill the screen, cropping", {120, 660, 3000, 195}, 7},
    {"SFit", layout::Kind::Option, "SFrm", "Fit inside, with bars", {120, 960, 3000, 195}, 8},
    {"NRepeat", layout::Kind::CheckBox, nullptr, "Show every picture once before any repeats", {120, 2475, 4560, 255},
     9},
    {"PMonitor", layout::Kind::CheckBox, nullptr, "A different picture on each monitor", {120, 2775, 4560, 255}, 10},
};
static_assert(layout::WellFormed(kOptionsControls));

}  // namespace vlmr
