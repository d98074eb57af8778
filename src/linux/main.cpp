// VLMR on Linux: the start-up window decides what this start does.
#include <QApplication>
#include <QFile>
#include <QIcon>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BannerWindow.h"
#include "CWaitWindow.h"
#include "ConfiguratorWindow.h"
#include "DisplayGuard.h"
#include "LinuxRuntime.h"
#include "LinuxShell.h"
#include "OptionsWindow.h"
#include "PosixFileSystem.h"
#include "PosixFolderLister.h"
#include "PosixLogFile.h"
#include "QtFolderChooser.h"
#include "StopOnException.h"
#include "UserFolders.h"
#include "WallpaperChoice.h"
#include "XdgAutostart.h"
#include "boot/frmMain.h"
#include "config/ConfiguratorCourse.h"
#include "store/IniFileStore.h"
#include "store/RunLog.h"

namespace {

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 256}) icon.addFile(QString(":/icon/velmora-%1.png").arg(size));
    return icon;
}

// What "Load At Startup" starts: this very file, whatever it is called.
std::string ExecutablePath() {
    const QString path = QCoreApplication::applicationFilePath();
    if (!path.isEmpty()) return QFile::encodeName(path).toStdString();
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

using Configurator = vlmr::ConfiguratorWindows<vlmr::CWaitWindow, vlmr::ConfiguratorWindow, vlmr::OptionsWindow>;

// The program itself: the toolkit, the services and the start-up window.
int Run(std::optional<vlmr::VelmoraApplication>& app, int argc, char* argv[]) {
    // The arguments are the program's own; Qt is given none of them, so a
    // word like "-style" is never taken as a toolkit option.
    const std::vector<std::string> arguments(argv, argv + argc);
    static int qtArgc = 1;
    app.emplace(qtArgc, argv);
    vlmr::ToolkitStarted();
    QApplication::setApplicationName("VLMR");
    QApplication::setWindowIcon(ApplicationIcon());
    // Ties the windows to the installed menu entry (and its icon) on Wayland too.
    QGuiApplication::setDesktopFileName("velmora");

    vlmr::LinuxRuntime runtime(arguments);
    vlmr::PosixFileSystem files(runtime.AppFolder());
    vlmr::IniFileStore settings(files);
    std::unique_ptr<vlmr::WallpaperService> wallpaper = vlmr::ChooseWallpaperService();
    vlmr::LinuxShell shell;

    vlmr::PosixFolderLister lister;
    vlmr::XdgAutostart autostart;
    vlmr::QtFolderChooser chooser;
    const vlmr::Services services{runtime, files, settings, *wallpaper, shell};

    vlmr::BannerWindow banner;
    vlmr::ConfiguratorOnce<Configurator> configurator([&] {
        return std::make_unique<Configurator>(vlmr::ConfigServices{services, autostart, chooser, lister, ExecutablePath()},
                                              [&banner] { return banner.Handle(); });
    });
    vlmr::frmMain presenter(services, banner, [&] { configurator.Open(); });
    banner.SetClickAction([&] { presenter.Click(); });

    presenter.Load();
    // Only the configurator's course gets here; it ends the program itself.
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    // Lives to the very end, so even a stop from the exit path is logged.
    static vlmr::PosixLogFile log(vlmr::DefaultLogPath());
    vlmr::UseLogFile(&log);
    if (vlmr::Environment("DISPLAY").empty() && vlmr::Environment("WAYLAND_DISPLAY").empty()) {
        vlmr::LogError("no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                       "start VLMR inside a desktop session");
        return 1;
    }

    vlmr::GuardToolkitStart();
    std::optional<vlmr::VelmoraApplication> app;  // outlives Run, for the box that reports
    try {
        return Run(app, argc, argv);
    } catch (...) {
        vlmr::StopForCurrentException();
    }
}
