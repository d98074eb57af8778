#pragma once
// The configurator's control ids: the window creates its controls with them,
// and the tests that drive the real program find them by them.

namespace vlmr::win32 {

// Control ids, in tab order (the id less 100 is the control's tab index).
enum ConfigControlId : int {
    kIdFrame = 100,  // CFrm
    kIdPath = 101,   // IPath
    kIdSave = 102,   // PSave
    kIdOpen = 103,   // POpen
    kIdCenter = 104,
    kIdTile = 105,
    kIdStretch = 106,
    kIdCredit = 108,   // Label1
    kIdStartup = 109,  // LStart
};

}  // namespace vlmr::win32
