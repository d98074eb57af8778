#pragma once
// Choosing the image folder.
#include <string>
#include <string_view>

namespace vlmr {

class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // Shows the platform's folder chooser titled "Select Your Image
    // Directory"; the chosen folder's full path, or "" when cancelled.
    virtual std::string BrowseForImageFolder() = 0;
    // The platform's short form of an existing path, or "" when it has none.
    virtual std::string GetShortPath(std::string_view path) = 0;
};

}  // namespace vlmr
