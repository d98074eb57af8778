#include "MimeApps.h"

#include <cctype>
#include <set>
#include <vector>

#include "DesktopEntry.h"
#include "KeyFile.h"
#include "TextParts.h"
#include "UserFolders.h"

namespace vlmr {
namespace {

// The mimeapps.list files, the most important first; each folder's
// desktop-specific lists come before its common one.
std::vector<std::string> MimeAppsLists() {
    std::vector<std::string> folders{BaseFolder("XDG_CONFIG_HOME", "/.config")};
    for (const std::string& folder : BaseFolders("XDG_CONFIG_DIRS", "/etc/xdg")) folders.push_back(folder);
    for (const std::string& folder : ApplicationFolders()) folders.push_back(folder);

    std::vector<std::string> desktops = Split(Environment("XDG_CURRENT_DESKTOP"), ':');
    for (std::string& desktop : desktops)
        for (char& c : desktop) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    std::vector<std::string> lists;
    for (const std::string& folder : folders) {
        for (const std::string& desktop : desktops) lists.push_back(folder + "/" + desktop + "-mimeapps.list");
        lists.push_back(folder + "/mimeapps.list");
    }
    return lists;
}

}  // namespace

std::string DefaultHandler(std::string_view mimeType) {
    const std::string type(mimeType);
    std::vector<KeyFile> lists;
    for (const std::string& path : MimeAppsLists()) lists.push_back(ReadKeyFile(path));

    // The defaults first: the first listed that is installed.
    for (const KeyFile& list : lists)
        for (const std::string& id : Split(Value(list, "Default Applications", type), ';'))
            if (std::string path = UsableDesktopFile(id); !path.empty()) return path;

    // Then the associations, where a list's removals hide what the lists
    // after it add, and last the ones the desktop files declare themselves.
    std::set<std::string> removed;
    for (const KeyFile& list : lists) {
        for (const std::string& id : Split(Value(list, "Removed Associations", type), ';')) removed.insert(id);
        for (const std::string& id : Split(Value(list, "Added Associations", type), ';'))
            if (!removed.contains(id))
                if (std::string path = UsableDesktopFile(id); !path.empty()) return path;
    }
    for (const std::string& folder : ApplicationFolders()) {
        const KeyFile cache = ReadKeyFile(folder + "/mimeinfo.cache");
        for (const std::string& id : Split(Value(cache, "MIME Cache", type), ';'))
            if (!removed.contains(id))
                if (std::string path = UsableDesktopFile(id); !path.empty()) return path;
    }
    return "";
}

}  // namespace vlmr
