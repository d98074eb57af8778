#pragma once
// The options window's control ids and the configurator's system menu
// command that opens it: the window creates its controls with them, and the
// tests that drive the real program find them by them.
#include <string_view>

#include "config/OptionsLayout.h"

namespace vlmr::win32 {

// A control's id is this plus its tab index.
inline constexpr int kFirstOptionsControlId = 100;

constexpr int OptionsControlIdOf(std::string_view name) {
    return kFirstOptionsControlId + layout::Find(kOptionsControls, name)->tabIndex;
}

// "Options..." in the configurator's system menu. Below the system's own
// commands (0xF000 and up), with the low four bits clear: the system uses
// those bits of a WM_SYSCOMMAND for itself.
inline constexpr unsigned kOptionsMenuCommand = 0x0100;

}  // namespace vlmr::win32
