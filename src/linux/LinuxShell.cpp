// Our own lookup rather than GIO's g_app_info_get_default_for_type: for
// text/html GIO also takes the handlers of its parent type text/plain, so a
// text editor can become "the browser", and it returns entries that must
// run in a terminal. Ours asks for the type alone, passes such entries by,
// and keeps GIO out of code that needs it for nothing else.
#include "LinuxShell.h"

#include "DesktopEntry.h"
#include "DetachedProcess.h"
#include "MimeApps.h"
#include "store/RunLog.h"

namespace vlmr {

BrowserLookup LinuxShell::FindBrowser() {
    BrowserLookup lookup;
    for (const char* type : {"x-scheme-handler/https", "text/html"}) {
        lookup.browser = DefaultHandler(type);
        if (!lookup.browser.empty()) break;
    }
    lookup.result = lookup.browser.empty() ? BrowserLookup::Result::NotFound : BrowserLookup::Result::Found;
    return lookup;
}

void LinuxShell::StartBrowser(WindowHandle, const std::string& browser, const std::string& address) {
    const Launch launch = LaunchOf(browser, address);
    if (launch.program.empty()) {
        LogError("the browser's desktop entry " + browser + " names no program that can be started");
        return;
    }
    if (!StartDetached(launch.program, launch.arguments, launch.folder))
        LogError("the browser " + launch.program + " could not be started");
}

}  // namespace vlmr
