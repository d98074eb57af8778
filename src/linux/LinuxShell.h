#pragma once
// The user's default web browser, found the freedesktop way: the desktop
// entry that the mimeapps.list files name for https links (then for HTML
// files), started with the address.
#include <string>
#include <string_view>
#include <vector>

#include "platform/Shell.h"

namespace vlmr {

class LinuxShell : public Shell {
public:
    // Found: `browser` is the path of the browser's desktop file.
    BrowserLookup FindBrowser() override;
    // Starts the desktop file's command, detached and without a shell.
    void StartBrowser(WindowHandle owner, const std::string& browser, const std::string& address) override;
};

// The path of the installed, usable desktop file that is the default
// handler of the MIME type (or URL scheme type, "x-scheme-handler/https"),
// or "".
std::string DefaultHandler(std::string_view mimeType);

// The command line of a desktop entry's Exec value for one address: the
// Desktop Entry quoting undone, %u %U %f %F replaced by the address (added
// as the last argument when the value has none of them), %% a percent sign,
// any other field code dropped. Empty when the value does not parse.
std::vector<std::string> ExecArguments(std::string_view exec, std::string_view address);

// The first executable file of that name in a folder of PATH, or "".
std::string FindOnPath(const std::string& program);

}  // namespace vlmr
