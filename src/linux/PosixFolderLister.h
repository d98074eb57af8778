#pragma once
// Folder listings for the image scan, straight from the directory stream.
#include "platform/FolderLister.h"

namespace vlmr {

class PosixFolderLister : public FolderLister {
public:
    Status ListFolder(std::string_view folder, FolderListing& listing) override;
    std::string JoinPath(std::string_view folder, std::string_view name) override;
    // Linux file systems tell a.bmp from A.BMP: two names are one file only
    // when they are equal.
    std::string PathKey(std::string_view path) override { return std::string(path); }
};

}  // namespace vlmr
