#pragma once
// One folder's listing on Windows, for the image scan: sub-folders and files
// in the order the file system gives them, hidden and system items included.
#include <string>
#include <string_view>

#include "platform/FolderLister.h"

namespace vlmr::win32 {

class Win32FolderLister : public FolderLister {
public:
    Win32FolderLister() = default;

    Status ListFolder(std::string_view folder, FolderListing& listing) override;
    // One backslash between folder and name, none after "D:\".
    std::string JoinPath(std::string_view folder, std::string_view name) override;
    // Upper-cased as NTFS compares names: ordinal, without regard to case.
    std::string PathKey(std::string_view path) override;
};

// The full path behind the \\?\ prefix ("\\?\UNC\" for a share), the only
// form in which Windows takes a path longer than MAX_PATH everywhere.
std::wstring ExtendedLengthPath(const std::wstring& path);

}  // namespace vlmr::win32
