#pragma once
// The start-up banner: no border, no caption (a name would have it taken for
// the message boxes titled "Velmora"), the 245 x 32 banner picture at the top
// left and white below it. A click anywhere on it is the window's own.
#include "platform/WindowLayout.h"

namespace vlmr {

inline constexpr layout::Window kBannerWindow{"", 3675, 750, layout::Rgb(255, 255, 255), layout::kDialogFont,
                                              "banner"};

}  // namespace vlmr
