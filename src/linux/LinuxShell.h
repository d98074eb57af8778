#pragma once
// Opens web addresses with the desktop's default URL handler (xdg-open).
#include "platform/Shell.h"

namespace vlmr {

class LinuxShell : public Shell {
public:
    BrowserLookup FindBrowser() override;
    void StartBrowser(WindowHandle owner, const std::string& browser, const std::string& address) override;
};

// The first executable file of that name in a folder of PATH, or "".
std::string FindOnPath(const std::string& program);

}  // namespace vlmr
