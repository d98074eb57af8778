#pragma once
// Desktop entries: where they are installed, which of them can be started,
// and what starting one runs.
#include <string>
#include <string_view>
#include <vector>

namespace vlmr {

// $XDG_DATA_HOME, then $XDG_DATA_DIRS, each with "/applications": the
// folders of the desktop files, the most important first.
std::vector<std::string> ApplicationFolders();

struct Launch {
    std::string program;  // full path; "" when there is nothing to start
    std::vector<std::string> arguments;
    std::string folder;  // the working folder, "" for ours
};

// What starting the desktop file with the address runs; no program when
// the entry is hidden, not an application, runs in a terminal, or its
// program is missing.
Launch LaunchOf(const std::string& desktopFile, std::string_view address);

// The desktop file of an id ("vendor-app.desktop") when it is installed and
// can be started, else "".
std::string UsableDesktopFile(const std::string& id);

}  // namespace vlmr
