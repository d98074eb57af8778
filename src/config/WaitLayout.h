#pragma once
// The progress window: no border, one blue line. It has no title bar; its
// caption names it only in the system's lists of windows.
#include "platform/WindowLayout.h"

namespace vlmr {

inline constexpr layout::Window kWaitWindow{"VLMR", 3165, 585};

inline constexpr layout::Control kWaitControls[] = {
    {"WLabrel", layout::Kind::Label, nullptr, "Please Wait Collecting Images......", {120, 120, 3132, 252}, 0,
     layout::kDialogBold, layout::Rgb(0, 0, 192)},
};
static_assert(layout::WellFormed(kWaitControls));

}  // namespace vlmr
