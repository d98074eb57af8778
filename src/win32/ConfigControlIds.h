#pragma once
// The configurator's control ids: the window creates its controls with them,
// and the tests that drive the real program find them by them.
#include <string_view>

#include "config/ConfiguratorLayout.h"

namespace vlmr::win32 {

// A control's id is this plus its tab index.
inline constexpr int kFirstConfigControlId = 100;

constexpr int ConfigControlIdOf(std::string_view name) {
    return kFirstConfigControlId + layout::Find(kConfiguratorControls, name)->tabIndex;
}

enum ConfigControlId : int {
    kIdFrame = ConfigControlIdOf("CFrm"),
    kIdPath = ConfigControlIdOf("IPath"),
    kIdSave = ConfigControlIdOf("PSave"),
    kIdOpen = ConfigControlIdOf("POpen"),
    kIdCenter = ConfigControlIdOf("OCenter"),
    kIdTile = ConfigControlIdOf("OTile"),
    kIdStretch = ConfigControlIdOf("OStretch"),
    kIdCredit = ConfigControlIdOf("Label1"),
    kIdStartup = ConfigControlIdOf("LStart"),
};

}  // namespace vlmr::win32
