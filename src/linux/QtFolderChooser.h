#pragma once
// The image folder chooser on Qt. Linux paths have no short form: a path is
// its own.
#include "platform/FolderChooser.h"

namespace vlmr {

class QtFolderChooser : public FolderChooser {
public:
    std::string BrowseForImageFolder() override;
    std::string GetShortPath(std::string_view path) override { return std::string(path); }
};

}  // namespace vlmr
