#pragma once
// Which desktop serves this session, told from the environment alone: plain
// C++, so the program decides it before any toolkit is loaded.
#include <functional>
#include <memory>
#include <string>

#include "platform/WallpaperService.h"

namespace vlmr {

// No setter for this session: the service is absent, so a boot run changes
// nothing (never a pretended success).
class AbsentWallpaperService : public WallpaperService {
public:
    std::unique_ptr<ActiveDesktop> Create() override { return nullptr; }
    std::string Mechanism() override { return "none: no wallpaper setter serves this session"; }
};

enum class DesktopKind {
    Gnome,     // also Unity, Budgie and Ubuntu's session: GNOME's background schema
    Cinnamon,
    Mate,
    Kde,
    Xfce,
    Sway,
    X11Root,   // any other X11 session: the root window's pixmap
    None,      // an unknown Wayland session, or no display at all
};

// The value of an environment variable, empty when it is unset.
using EnvironmentLookup = std::function<std::string(const char* name)>;

// The desktop named by XDG_CURRENT_DESKTOP (a colon-separated list, the
// first known name wins, any case), else by the desktops' own session
// variables, else the plain X11 root when there is an X display and no
// Wayland one. The reason, when asked for, names the variable that decided.
DesktopKind ChooseDesktop(const EnvironmentLookup& environment, std::string* reason = nullptr);

// The same for this process's environment.
DesktopKind SessionDesktop(std::string* reason = nullptr);

// The setter, saying why it was chosen along with how it works.
std::unique_ptr<WallpaperService> ExplainedWallpaperService(std::unique_ptr<WallpaperService> setter,
                                                            std::string reason);

}  // namespace vlmr
