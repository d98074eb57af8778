// VLMR on Linux: the start-up window decides what this start does.
#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BannerWindow.h"
#include "LinuxRuntime.h"
#include "LinuxShell.h"
#include "PlaceholderConfigurator.h"
#include "PosixFileSystem.h"
#include "WallpaperChoice.h"
#include "boot/frmMain.h"
#include "store/IniFileStore.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 256}) icon.addFile(QString(":/icon/velmora-%1.png").arg(size));
    return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "VLMR: no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                             "start it inside a desktop session.\n");
        return 1;
    }

    // The arguments are the program's own; Qt is given none of them, so a
    // word like "-style" is never taken as a toolkit option.
    const std::vector<std::string> arguments(argv, argv + argc);
    static int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName("VLMR");
    QApplication::setWindowIcon(ApplicationIcon());

    vlmr::LinuxRuntime runtime(arguments);
    vlmr::PosixFileSystem files(runtime.AppFolder());
    vlmr::IniFileStore settings(files);
    std::unique_ptr<vlmr::WallpaperService> wallpaper = vlmr::ChooseWallpaperService();
    vlmr::LinuxShell shell;

    vlmr::BannerWindow banner;
    std::unique_ptr<vlmr::PlaceholderConfigurator> configurator;
    vlmr::frmMain presenter({runtime, files, settings, *wallpaper, shell}, banner, [&] {
        if (!configurator) configurator = std::make_unique<vlmr::PlaceholderConfigurator>(runtime);
        configurator->show();
    });
    banner.SetClickAction([&] { presenter.Click(); });

    presenter.Load();
    // Only the configurator's course gets here; it ends the program itself.
    return QApplication::exec();
}
