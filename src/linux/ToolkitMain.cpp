// The toolkit module, libvelmora-toolkit.so: VLMR on Qt 6 Widgets. VLMR loads
// it for every course but the quiet boot run of a plain X11 session: the
// whole program on the toolkit (the configurator, Wayland, the desktops with
// a wallpaper service of their own), or parts of it for the lean course (a
// box, the configurator, the X root setter). The core is VLMR's own, and so
// is the run log it already opened.
#include <QApplication>
#include <QFile>
#include <QIcon>

#include <filesystem>
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
#include "QtPictureDecoder.h"
#include "QtFolderChooser.h"
#include "StopOnException.h"
#include "Toolkit.h"
#include "ToolkitApplication.h"
#include "WallpaperChoice.h"
#include "XdgAutostart.h"
#include "boot/frmMain.h"
#include "config/ConfiguratorCourse.h"
#include "store/IniFileStore.h"

namespace vlmr {
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

using Configurator = ConfiguratorWindows<CWaitWindow, ConfiguratorWindow, OptionsWindow>;

// The configurator's windows on the services, made on the first open.
ConfiguratorOnce<Configurator> MakeConfigurator(const Services& services, std::function<WindowHandle()> webOwner) {
    return ConfiguratorOnce<Configurator>([services, webOwner] {
        static XdgAutostart autostart;
        static QtFolderChooser chooser;
        static PosixFolderLister lister;
        return std::make_unique<Configurator>(ConfigServices{services, autostart, chooser, lister, ExecutablePath()},
                                              webOwner);
    });
}

// The application object, once per process. Never destroyed: it outlives
// every window and the box that may report a stop, and an exit() from deep
// inside the toolkit (a broken display) must not tear it down under itself.
void StartApplication(char** argv) {
    static VelmoraApplication* app = nullptr;
    if (app) return;
    GuardToolkitStart();
    // The arguments are the program's own; Qt is given none of them, so a
    // word like "-style" is never taken as a toolkit option.
    static int qtArgc = 1;
    app = new VelmoraApplication(qtArgc, argv);
    ToolkitStarted();
    QApplication::setApplicationName("VLMR");
    QApplication::setWindowIcon(ApplicationIcon());
    // Ties the windows to the installed menu entry (and its icon) on Wayland too.
    QGuiApplication::setDesktopFileName("velmora");
}

// The whole program on the toolkit, the start-up window deciding the course.
int Run(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    StartApplication(argv);

    LinuxRuntime runtime(arguments);
    PosixFileSystem files(runtime.AppFolder());
    IniFileStore settings(files);
    std::unique_ptr<WallpaperService> wallpaper = ChooseWallpaperService();
    LinuxShell shell;
    const Services services{runtime, files, settings, *wallpaper, shell};

    BannerWindow banner;
    ConfiguratorOnce<Configurator> configurator = MakeConfigurator(services, [&banner] { return banner.Handle(); });
    frmMain presenter(services, banner, [&] { configurator.Open(); });
    banner.SetClickAction([&] { presenter.Click(); });

    presenter.Load();
    // Only the configurator's course gets here; it ends the program itself.
    return QApplication::exec();
}

// The toolkit as the lean course uses it, on that course's own services.
class QtToolkit : public Toolkit {
public:
    void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) override {
        ShowMessageBox(text, title, icon);
    }
    void DeliverPendingMessages() override { QCoreApplication::processEvents(); }
    std::string TodayShortDate() override { return ToolkitShortDate(); }
    void OpenConfigurator(const Services& services, std::function<WindowHandle()> webOwner) override {
        if (!configurator_) configurator_.emplace(MakeConfigurator(services, std::move(webOwner)));
        configurator_->Open();
    }
    int RunEventLoop() override { return QApplication::exec(); }

private:
    std::optional<ConfiguratorOnce<Configurator>> configurator_;
};

}  // namespace
}  // namespace vlmr

extern "C" {

__attribute__((visibility("default"))) int VelmoraToolkitMain(int argc, char** argv) {
    try {
        return vlmr::Run(argc, argv);
    } catch (...) {
        vlmr::StopForCurrentException();
    }
}

__attribute__((visibility("default"))) vlmr::Toolkit* VelmoraToolkitStart(int, char** argv) {
    static vlmr::QtToolkit* toolkit = nullptr;
    if (!toolkit) {
        vlmr::StartApplication(argv);
        toolkit = new vlmr::QtToolkit;
    }
    return toolkit;
}

__attribute__((visibility("default"))) vlmr::PictureDecoder* VelmoraPictureDecoder() {
    return new vlmr::QtPictureDecoder;
}

}  // extern "C"
