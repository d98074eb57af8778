#pragma once
// The user's default web browser, found the freedesktop way: the desktop
// entry that the mimeapps.list files name for https links (then for HTML
// files), started with the address.
#include <string>

#include "platform/Shell.h"

namespace vlmr {

class LinuxShell : public Shell {
public:
    // Found: `browser` is the path of the browser's desktop file.
    BrowserLookup FindBrowser() override;
    // Starts the desktop file's command, detached and without a shell.
    void StartBrowser(WindowHandle owner, const std::string& browser, const std::string& address) override;
};

}  // namespace vlmr
