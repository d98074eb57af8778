// Runs one wallpaper setter through the service sequence in a process of
// its own, so each run meets the session bus named by its environment
// (libdbus and Qt remember the first one a process uses).
//   kde_xfce_probe kde|xfce STYLE PATH
//   kde_xfce_probe kde|xfce each STYLE PATH...   (a picture per monitor)
// A PATH of "hex:" and hex digits gives the name's bytes, for names that a
// test cannot pass as text.
// Exit 0 applied (on every monitor), 1 not applied (on some monitor),
// 2 service absent, 3 no monitors told, 64 bad arguments.
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "KdePlasmaWallpaper.h"
#include "XfceWallpaper.h"
#include "../LogOnStderr.h"

namespace {

std::string PathArgument(std::string path) {
    if (path.rfind("hex:", 0) != 0) return path;
    std::string bytes;
    for (std::size_t i = 4; i + 1 < path.size(); i += 2)
        bytes += static_cast<char>(std::stoi(path.substr(i, 2), nullptr, 16));
    return bytes;
}

// Prints "monitor=NAME" for each monitor, then "shown=" and one 0 or 1 a monitor.
int PerMonitor(vlmr::WallpaperService& service, std::int32_t style, const std::vector<std::string>& pictures) {
    const std::unique_ptr<vlmr::MonitorWallpapers> desktop = service.CreatePerMonitor();
    if (!desktop) {
        std::puts("absent");
        return 2;
    }
    const std::vector<std::string> monitors = desktop->Monitors();
    for (const std::string& monitor : monitors) std::printf("monitor=%s\n", monitor.c_str());
    if (monitors.empty()) return 3;
    const std::vector<bool> shown = desktop->SetWallpapers(pictures, style);
    std::string answers;
    for (const bool one : shown) answers += one ? '1' : '0';
    std::printf("shown=%s\n", answers.c_str());
    return shown.size() == monitors.size() && answers.find('0') == std::string::npos ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 64;
    const std::string which = argv[1];
    const bool each = std::strcmp(argv[2], "each") == 0;
    if (each ? argc < 5 : argc != 4) return 64;
    const long style = std::strtol(argv[each ? 3 : 2], nullptr, 10);
    std::vector<std::string> pictures;
    for (int i = each ? 4 : 3; i < argc; ++i) pictures.push_back(PathArgument(argv[i]));
    const std::string path = pictures.front();

    std::unique_ptr<vlmr::WallpaperService> service;
    if (which == "kde") service = std::make_unique<vlmr::KdePlasmaWallpaper>();
    else if (which == "xfce") service = std::make_unique<vlmr::XfceWallpaper>();
    else return 64;

    // A display gives the XFCE setter the screens it names new backdrops after.
    const char* display = std::getenv("DISPLAY");
    std::unique_ptr<QCoreApplication> app;
    if (display != nullptr && *display != '\0') app = std::make_unique<QGuiApplication>(argc, argv);
    else app = std::make_unique<QCoreApplication>(argc, argv);

    if (each) return PerMonitor(*service, static_cast<std::int32_t>(style), pictures);
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
