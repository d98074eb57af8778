// Runs one wallpaper setter through the service sequence in a process of
// its own, so each run meets the session bus named by its environment
// (libdbus and Qt remember the first one a process uses).
//   kde_xfce_probe kde|xfce STYLE PATH
// A PATH of "hex:" and hex digits gives the name's bytes, for names that a
// test cannot pass as text.
// Exit 0 applied, 1 not applied, 2 service absent, 64 bad arguments.
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "KdePlasmaWallpaper.h"
#include "XfceWallpaper.h"
#include "../LogOnStderr.h"

int main(int argc, char** argv) {
    if (argc != 4) return 64;
    const std::string which = argv[1];
    const long style = std::strtol(argv[2], nullptr, 10);
    std::string path = argv[3];
    if (path.rfind("hex:", 0) == 0) {
        std::string bytes;
        for (std::size_t i = 4; i + 1 < path.size(); i += 2)
            bytes += static_cast<char>(std::stoi(path.substr(i, 2), nullptr, 16));
        path = bytes;
    }

    std::unique_ptr<vlmr::WallpaperService> service;
    if (which == "kde") service = std::make_unique<vlmr::KdePlasmaWallpaper>();
    else if (which == "xfce") service = std::make_unique<vlmr::XfceWallpaper>();
    else return 64;

    // A display gives the XFCE setter the screens it names new backdrops after.
    const char* display = std::getenv("DISPLAY");
    std::unique_ptr<QCoreApplication> app;
    if (display != nullptr && *display != '\0') app = std::make_unique<QGuiApplication>(argc, argv);
    else app = std::make_unique<QCoreApplication>(argc, argv);

    std::unique_ptr<vlmr::ActiveDesktop> desktop = service->Create();
    if (!desktop) {
        std::puts("absent");
        return 2;
    }
    vlmr::ComponentsOpt components;
    const bool read = desktop->GetDesktopItemOptions(components);
    vlmr::WallpaperOpt options;
    options.dwStyle = static_cast<std::uint32_t>(style);
    const bool styled = desktop->SetWallpaperOptions(options);
    const bool pathed = desktop->SetWallpaper(path);
    const bool applied = desktop->ApplyChanges(vlmr::AD_APPLY_SAVE | vlmr::AD_APPLY_HTMLGEN |
                                               vlmr::AD_APPLY_REFRESH);
    std::printf("options=%d active=%u style=%d file=%d applied=%d\n", read, components.fActiveDesktop,
                styled, pathed, applied);
    return applied ? 0 : 1;
}
