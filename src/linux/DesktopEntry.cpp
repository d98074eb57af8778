#include "DesktopEntry.h"

#include <sys/stat.h>

#include "ExecArguments.h"
#include "KeyFile.h"
#include "PathSearch.h"
#include "UserFolders.h"

namespace vlmr {
namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The file of a desktop file id in one applications folder: "a-b.desktop"
// may also be "a/b.desktop".
std::string DesktopFileIn(const std::string& folder, const std::string& id) {
    const std::string direct = folder + "/" + id;
    struct stat info {};
    if (::stat(direct.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return direct;
    for (std::size_t dash = id.find('-'); dash != std::string::npos; dash = id.find('-', dash + 1)) {
        const std::string sub = folder + "/" + id.substr(0, dash);
        if (!IsFolder(sub)) continue;
        if (std::string found = DesktopFileIn(sub, id.substr(dash + 1)); !found.empty()) return found;
    }
    return "";
}

}  // namespace

std::vector<std::string> ApplicationFolders() {
    std::vector<std::string> folders{BaseFolder("XDG_DATA_HOME", "/.local/share") + "/applications"};
    for (const std::string& folder : BaseFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        folders.push_back(folder + "/applications");
    return folders;
}

Launch LaunchOf(const std::string& desktopFile, std::string_view address) {
    const KeyFile file = ReadKeyFile(desktopFile);
    constexpr std::string_view kEntry = "Desktop Entry";
    if (!file.contains(kEntry) || Value(file, kEntry, "Hidden") == "true") return {};
    const std::string type = Value(file, kEntry, "Type");
    if (!type.empty() && type != "Application") return {};
    // A terminal program would need a terminal window around it to show a page.
    if (Value(file, kEntry, "Terminal") == "true") return {};
    const std::string tryExec = Unescape(Value(file, kEntry, "TryExec"));
    if (!tryExec.empty() && ProgramPath(tryExec).empty()) return {};

    std::vector<std::string> arguments = ExecArguments(Unescape(Value(file, kEntry, "Exec")), address);
    if (arguments.empty()) return {};
    Launch launch{ProgramPath(arguments.front()), {}, Unescape(Value(file, kEntry, "Path"))};
    for (std::size_t i = 1; i < arguments.size(); ++i) launch.arguments.push_back(std::move(arguments[i]));
    return launch;
}

std::string UsableDesktopFile(const std::string& id) {
    if (id.size() <= 8 || id.substr(id.size() - 8) != ".desktop") return "";
    for (const std::string& folder : ApplicationFolders()) {
        const std::string path = DesktopFileIn(folder, id);
        // The first file of an id hides those of the same id further on.
        if (!path.empty()) return LaunchOf(path, "").program.empty() ? "" : path;
    }
    return "";
}

}  // namespace vlmr
