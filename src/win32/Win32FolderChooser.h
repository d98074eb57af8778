#pragma once
// The shell's folder chooser and the short (8.3) form of a path.
#include "platform/FolderChooser.h"

namespace vlmr::win32 {

class Win32FolderChooser : public FolderChooser {
public:
    // The shell's "Browse for Folder" box without an owner window, rooted at
    // the desktop, file-system folders only. Needs COM on this thread.
    std::string BrowseForImageFolder() override;
    // "" for "" and for a path the system cannot shorten (one that does not exist).
    std::string GetShortPath(std::string_view path) override;
};

}  // namespace vlmr::win32
