#pragma once
// One folder's listing for the image scan.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Status.h"

namespace vlmr {

// What a folder really is, whatever path led to it (device and inode,
// volume and file index), so a link back into the tree is seen as a folder
// already walked.
struct FolderId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool known = false;
};

struct FolderListing {
    FolderId id;
    // Names in the order the platform lists them. When a listing stops part
    // way, the names fetched so far are kept and the status says why.
    std::vector<std::string> subfolders;
    std::vector<std::string> files;
    Status subfoldersStatus;
    Status filesStatus;
};

class FolderLister {
public:
    virtual ~FolderLister() = default;
    // Fails when the folder itself cannot be opened.
    virtual Status ListFolder(std::string_view folder, FolderListing& listing) = 0;
    // The folder and the name joined by one separator (none is added after
    // a folder that already ends in one, such as a drive root).
    virtual std::string JoinPath(std::string_view folder, std::string_view name) = 0;
    // The key under which two paths name the same file: folded to one case
    // where the file system ignores case, the path itself where it does not.
    virtual std::string PathKey(std::string_view path) = 0;
};

}  // namespace vlmr
