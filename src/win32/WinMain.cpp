// VLMR.exe: the Windows front end. Plugs the Windows services into the
// start-up window and lets its load decide what this start does.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>

#include "boot/frmMain.h"
#include "config/ConfiguratorCourse.h"
#include "store/RunLog.h"
#include "win32/ActiveDesktopService.h"
#include "win32/BannerWindow.h"
#include "win32/ComApartment.h"
#include "win32/ConfiguratorWindow.h"
#include "win32/OptionsWindow.h"
#include "win32/ProfileSettings.h"
#include "win32/StopOnException.h"
#include "win32/WaitWindow.h"
#include "win32/Win32FileSystem.h"
#include "win32/Win32FolderChooser.h"
#include "win32/Win32FolderLister.h"
#include "win32/Win32LogFile.h"
#include "win32/Win32RunKey.h"
#include "win32/Win32Runtime.h"
#include "win32/Win32Shell.h"

namespace {

using Configurator =
    vlmr::ConfiguratorWindows<vlmr::win32::WaitWindow, vlmr::win32::ConfiguratorWindow, vlmr::win32::OptionsWindow>;

// The program itself: the services, the windows and the message loop.
int Run(HINSTANCE instance) {
    using namespace vlmr;
    using namespace vlmr::win32;

    ComApartment com;  // the Active Desktop object and the folder chooser live on this thread

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Win32Runtime runtime;
    Win32FileSystem files;
    ProfileSettings settings;
    ActiveDesktopService wallpaper(com.result());  // absent when COM did not start
    Win32Shell shell;
    Win32FolderLister lister;
    Win32RunKey runKey;
    Win32FolderChooser chooser;
    const Services services{runtime, files, settings, wallpaper, shell};

    BannerWindow banner(instance);
    ConfiguratorOnce<Configurator> configurator([&] {
        // Logon starts this very file, whatever it is called now.
        return std::make_unique<Configurator>(ConfigServices{services, runKey, chooser, lister, RunningExecutablePath()},
                                              [&banner] { return banner.Handle(); }, instance);
    });
    frmMain form(services, banner, [&] { configurator.Open(); });
    banner.OnClick([&] { form.Click(); });

    form.Load();

    // Only the configurator's course gets here; it ends the program itself.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (Configurator* open = configurator.get();
            open && (open->optionsWindow.HandleDialogMessage(msg) || open->window.HandleDialogMessage(msg)))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Lives to the very end, so even a stop from the exit path is logged.
    static vlmr::win32::Win32LogFile log(vlmr::win32::DefaultLogPath());
    vlmr::UseLogFile(&log);
    try {
        return Run(instance);
    } catch (...) {
        vlmr::win32::StopForCurrentException();
    }
}
