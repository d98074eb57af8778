#include "LeanRuntime.h"

#include <cstdio>
#include <unistd.h>

#include "UserFolders.h"
#include "XBanner.h"
#include "store/RunLog.h"

#include <X11/Xlib.h>

namespace vlmr {
namespace {

int OnLostDisplay(Display*) {
    LogError("lost the display " + Environment("DISPLAY"));
    std::fflush(nullptr);
    ::_exit(1);
}

}  // namespace

void LeanRuntime::EndOnLostDisplay() { XSetIOErrorHandler(&OnLostDisplay); }

Toolkit& LeanRuntime::StartedToolkit() {
    if (toolkit_.IsStarted()) return toolkit_.Started();
    Toolkit& toolkit = toolkit_.Started();
    EndOnLostDisplay();
    return toolkit;
}

LeanRuntime::LeanRuntime(std::vector<std::string> arguments, _XDisplay* display, ToolkitModule& toolkit)
    : LinuxProcess(std::move(arguments)), display_(display), toolkit_(toolkit) {}

void LeanRuntime::ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) {
    StartedToolkit().ShowMessage(text, title, icon);
    if (banner_) banner_->DropPointerInput();
}

void LeanRuntime::DeliverPendingMessages() {
    if (banner_) banner_->DeliverEvents();
    if (toolkit_.IsStarted()) toolkit_.Started().DeliverPendingMessages();
}

void LeanRuntime::EndProgram() {
    // At once: no destructor, no further event handler; what the banner
    // still had to say reaches the server as the connection closes.
    std::fflush(nullptr);
    XCloseDisplay(display_);
    ::_exit(0);
}

}  // namespace vlmr
