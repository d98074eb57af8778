#pragma once
// The user's web browser, found through the file type of a web page.
#include "platform/Shell.h"

namespace vlmr::win32 {

class Win32Shell : public Shell {
public:
    BrowserLookup FindBrowser() override;
    void StartBrowser(WindowHandle owner, const std::string& browser, const std::string& address) override;
};

}  // namespace vlmr::win32
