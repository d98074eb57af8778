#pragma once
// The walk that collects every bitmap under the image folder, and the
// files of any other picture type the user turned on.
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/FolderLister.h"
#include "store/ListBox.h"

namespace vlmr {

// Whether a path names a bitmap: its last four characters are ".BMP" in
// any letter case. The contents are never looked at.
bool PassesImageFilter(std::string_view path);

// Whether a file name ends in one of the extensions (given in capitals,
// ".JPG") in any letter case. Unlike the bitmap rule, this one is applied to
// files alone: a folder named "x.jpg" is walked but never listed.
bool HasPictureType(std::string_view name, const std::vector<std::string>& types);

// The keys of a list's entries, so that offering an item costs one lookup
// instead of a search of the whole list.
class UniqueIndex {
public:
    UniqueIndex(FolderLister& lister, const ListBox& list);
    bool Insert(std::string_view path) { return keys_.insert(lister_.PathKey(path)).second; }

private:
    FolderLister& lister_;
    std::unordered_set<std::string> keys_;
};

// Adds the item at the end of the list unless an entry names it already.
void AddUniqueListItem(std::string_view item, ListBox& list, UniqueIndex& index);

// Lets pending window messages through every few milliseconds, however
// many items the walk handles in between.
class MessagePacer {
public:
    explicit MessagePacer(std::function<void()> deliver) : deliver_(std::move(deliver)) {}
    void Tick();

private:
    std::function<void()> deliver_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

// Depth first: every sub-folder's tree, then the folder's own files, in the
// order the platform lists them. Whatever cannot be listed is skipped. Files
// of the extra picture types take their place in that order like bitmaps.
void ScanFolderTree(FolderLister& lister, std::string_view folder, ListBox& list, MessagePacer& pacer,
                    const std::vector<std::string>& types = {});

}  // namespace vlmr
