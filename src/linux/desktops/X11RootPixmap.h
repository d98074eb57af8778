#pragma once
// The root window's pixmap of the default screen, put there the way other
// root setters do it (_XROOTPMAP_ID and ESETROOT_PMAP_ID), so compositors
// and pseudo-transparent terminals pick it up.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vlmr {

// Xlib's default handler ends the process on any X error. While a trap is
// set, errors on its connection are noted instead; errors on other
// connections (the toolkit's) still go to the handler that was there before.
// The service is used from the user-interface thread only.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display_(display) {
        current_ = this;
        previous_ = XSetErrorHandler(&Handle);
    }
    ~ErrorTrap() {
        XSetErrorHandler(previous_);
        current_ = nullptr;
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits until the server has handled every request so far; true when
    // none of them failed since the last call.
    bool Sync() {
        XSync(display_, False);
        const bool ok = !failed_;
        failed_ = false;
        return ok;
    }

private:
    static int Handle(Display* display, XErrorEvent* error) {
        if (current_ != nullptr && display == current_->display_) {
            current_->failed_ = true;
            return 0;
        }
        return previous_ != nullptr ? previous_(display, error) : 0;
    }

    static inline ErrorTrap* current_ = nullptr;
    static inline XErrorHandler previous_ = nullptr;
    Display* display_;
    bool failed_ = false;
};

// Shows the pixmap, of the default screen's size and depth and drawn in
// full, on its root window. The region to keep (nullptr for none) shows what
// the old root pixmap showed there when it is as large and deep as the new
// one, and stays as drawn otherwise; keptOld, when given, tells which. On
// success the caller must close the connection, which leaves the pixmap to
// the server; on failure closing it frees whatever was made.
bool ShowOnRoot(Display* display, ErrorTrap& trap, Pixmap pixmap, Region keep = nullptr,
                bool* keptOld = nullptr);

}  // namespace vlmr
