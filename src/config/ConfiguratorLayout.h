#pragma once
// The configurator window: a fixed single border, a close box, and its
// controls in tab order. IList and Stile are the presenter's members, not
// controls: nothing ever shows them.
#include "platform/WindowLayout.h"

namespace vlmr {

inline constexpr layout::Window kConfiguratorWindow{"Velmora Configurator", 5430, 1605};

inline constexpr layout::Control kConfiguratorControls[] = {
    {"CFrm", layout::Kind::Frame, nullptr, " Image Path ", {120, 120, 5175, 1095}, 0, layout::kDialogBold},
    {"IPath", layout::Kind::TextBox, "CFrm", "", {120, 360, 4935, 195}, 1},
    {"PSave", layout::Kind::PictureButton, "CFrm", "Save", {4200, 600, 345, 330}, 2, {}, {}, {}, "save"},
    {"POpen", layout::Kind::PictureButton, "CFrm", "Open", {4680, 600, 330, 330}, 3, {}, {}, {}, "open"},
    {"OCenter", layout::Kind::Option, "CFrm", "Center", {120, 720, 855, 195}, 4},
    {"OTile", layout::Kind::Option, "CFrm", "Tile", {960, 720, 615, 195}, 5},
    {"OStretch", layout::Kind::Option, "CFrm", "Stretch", {1680, 720, 855, 195}, 6},
    {"Label1", layout::Kind::Label, nullptr, "Corvantis", {4200, 1320, 1095, 255}, 8, layout::kDialogBold,
     layout::Rgb(0, 0, 128), layout::Align::Right},
    {"LStart", layout::Kind::CheckBox, nullptr, "Load At Startup", {120, 1320, 1575, 255}, 9},
};
static_assert(layout::WellFormed(kConfiguratorControls));

}  // namespace vlmr
