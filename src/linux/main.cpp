// VLMR on Linux. The quiet boot run of a plain X11 session, the start at
// every logon, runs here on Xlib alone: loading the toolkit costs more than
// that whole run. Every other course, and a box or the configurator within
// this one, runs on the toolkit module, loaded into this same process.
#include <string>
#include <vector>

#include "DesktopChoice.h"
#include "LeanRuntime.h"
#include "LinuxProcess.h"
#include "LinuxShell.h"
#include "PosixFileSystem.h"
#include "PosixLogFile.h"
#include "StopOnException.h"
#include "ToolkitModule.h"
#include "ToolkitPictureDecoder.h"
#include "UserFolders.h"
#include "X11RootWallpaper.h"
#include "XBanner.h"
#include "boot/StopMessage.h"
#include "boot/frmMain.h"
#include "store/IniFileStore.h"
#include "store/RunLog.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/Xlib.h>

namespace vlmr {
namespace {

// A quiet start on a plain X11 session (an X display, no Wayland one, no
// desktop with a wallpaper service of its own) that asks for no configurator.
// `reason` says why the session is taken for a plain one.
bool LeanCourseServes(const std::vector<std::string>& arguments, std::string& reason) {
    return LinuxProcess::JoinedArguments(arguments) != "Config" && SessionDesktop(&reason) == DesktopKind::X11Root;
}

int RunLean(const std::vector<std::string>& arguments, ToolkitModule& toolkit, std::string reason) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        LogError("the display " + Environment("DISPLAY") +
                 " cannot be reached; start VLMR inside a running desktop session");
        return 1;
    }
    LeanRuntime::EndOnLostDisplay();

    LeanRuntime runtime(arguments, display, toolkit);
    PosixFileSystem files(runtime.AppFolder());
    IniFileStore settings(files);
    const std::unique_ptr<WallpaperService> wallpaper =
        ExplainedWallpaperService(
            std::make_unique<X11RootWallpaper>(std::make_shared<ToolkitPictureDecoder>(toolkit)), std::move(reason));
    LinuxShell shell;
    const Services services{runtime, files, settings, *wallpaper, shell};

    XBanner banner(display);
    runtime.DeliverTo(banner);
    frmMain presenter(services, banner,
                      [&] { runtime.StartedToolkit().OpenConfigurator(services, [&banner] { return banner.Handle(); }); });
    banner.SetClickAction([&] { presenter.Click(); });
    // From here a stop is told in the toolkit's box, as on the toolkit's course.
    ShowStopsIn([&runtime](const std::string& text) { runtime.ShowMessage(text, kStopTitle, MessageIcon::Warning); });

    try {
        presenter.Load();
        // Only the configurator's course gets here; it ends the program itself.
        return runtime.StartedToolkit().RunEventLoop();
    } catch (...) {
        StopForCurrentException();  // while the runtime that shows the box still stands
    }
}

}  // namespace
}  // namespace vlmr

int main(int argc, char* argv[]) {
    // Lives to the very end, so even a stop from the exit path is logged.
    static vlmr::PosixLogFile log(vlmr::DefaultLogPath());
    vlmr::UseLogFile(&log);
    if (vlmr::Environment("DISPLAY").empty() && vlmr::Environment("WAYLAND_DISPLAY").empty()) {
        vlmr::LogError("no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                       "start VLMR inside a desktop session");
        return 1;
    }

    static vlmr::ToolkitModule toolkit(argc, argv);
    const std::vector<std::string> arguments(argv, argv + argc);
    std::string reason;
    if (!vlmr::LeanCourseServes(arguments, reason)) return toolkit.RunMain();
    try {
        return vlmr::RunLean(arguments, toolkit, std::move(reason));
    } catch (...) {
        vlmr::StopForCurrentException();
    }
}
