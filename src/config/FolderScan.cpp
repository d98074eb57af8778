#include "config/FolderScan.h"

#include <set>
#include <utility>

#include "store/Text.h"

namespace vlmr {

bool PassesImageFilter(std::string_view path) {
    return path.size() >= 4 && ToUpperAscii(path.substr(path.size() - 4)) == ".BMP";
}

bool HasPictureType(std::string_view name, const std::vector<std::string>& types) {
    for (const std::string& type : types)
        if (name.size() >= type.size() && ToUpperAscii(name.substr(name.size() - type.size())) == type) return true;
    return false;
}

UniqueIndex::UniqueIndex(FolderLister& lister, const ListBox& list) : lister_(lister) {
    keys_.reserve(list.Count());
    for (std::size_t i = 0; i < list.Count(); ++i) keys_.insert(lister_.PathKey(list.Item(i)));
}

void AddUniqueListItem(std::string_view item, ListBox& list, UniqueIndex& index) {
    if (index.Insert(item)) list.Add(item);
}

void MessagePacer::Tick() {
    constexpr auto kInterval = std::chrono::milliseconds(5);
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < kInterval) return;
    deliver_();
    last_ = std::chrono::steady_clock::now();
}

namespace {

// The list holds one path a line: a name with a line break in it would
// split into fragments that name other files, so such names are passed by.
bool FitsOnOneLine(std::string_view name) { return name.find_first_of("\r\n") == std::string_view::npos; }

struct Walk {
    FolderLister& lister;
    ListBox& list;
    UniqueIndex index;
    MessagePacer& pacer;
    const std::vector<std::string>& types;
    std::set<std::pair<std::uint64_t, std::uint64_t>> walked;

    void Folder(const std::string& folder) {
        FolderListing listing;
        if (!lister.ListFolder(folder, listing)) return;
        // A link that leads back to a folder already walked ends here.
        if (listing.id.known && !walked.insert({listing.id.volume, listing.id.index}).second) return;

        for (const std::string& name : listing.subfolders) {
            if (!FitsOnOneLine(name)) continue;
            const std::string path = lister.JoinPath(folder, name);
            if (PassesImageFilter(path)) AddUniqueListItem(path, list, index);
            pacer.Tick();
            Folder(path);
            pacer.Tick();
        }
        for (const std::string& name : listing.files) {
            pacer.Tick();
            // A separator stands between folder and name, so the path ends
            // in ".BMP" exactly when the name does: join only those.
            if ((PassesImageFilter(name) || HasPictureType(name, types)) && FitsOnOneLine(name))
                AddUniqueListItem(lister.JoinPath(folder, name), list, index);
        }
    }
};

}  // namespace

void ScanFolderTree(FolderLister& lister, std::string_view folder, ListBox& list, MessagePacer& pacer,
                    const std::vector<std::string>& types) {
    Walk walk{lister, list, UniqueIndex(lister, list), pacer, types, {}};
    walk.Folder(std::string(folder));
}

}  // namespace vlmr
