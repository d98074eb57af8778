#include "shell/OpenWebPage.h"

#include "store/Text.h"

namespace vlmr {

void OpenWebPage(Runtime& rt, Shell& shell, WindowHandle owner, const std::string& address) {
    const BrowserLookup lookup = shell.FindBrowser();
    if (lookup.result == BrowserLookup::Result::ProbeFailed) {
        rt.ShowMessage("Velmora could not create the temporary file it uses to find your web browser: " +
                           lookup.problem,
                       "Browser Not Found", MessageIcon::Warning);
        return;
    }
    const std::string browser(TrimBlanks(lookup.browser));
    if (lookup.result != BrowserLookup::Result::Found || browser.empty()) {
        rt.ShowMessage("Could not find a Browser!!!", "Browser Not Found", MessageIcon::Warning);
        return;
    }
    shell.StartBrowser(owner, browser, address);
}

}  // namespace vlmr
