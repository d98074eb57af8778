#pragma once
// The root window's pixmap of the default screen, put there the way other
// root setters do it (_XROOTPMAP_ID and ESETROOT_PMAP_ID), so compositors
// and pseudo-transparent terminals pick it up. Include this header last:
// Xlib's macros (None, Bool, Status, Success...) would break Qt's headers.
#include <QImage>
#include <QRegion>

#include <X11/Xlib.h>

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

// Puts the screen's picture (Format_RGB32, as large as the default screen)
// on its root window. The rectangles to keep show what the old root pixmap showed there
// when it is as large and deep as the new one, and black otherwise; keptOld,
// when given, tells which. On success the caller must close the connection,
// which leaves the pixmap to the server; on failure closing it frees
// whatever was made.
bool PutOnRoot(Display* display, ErrorTrap& trap, const QImage& screen, const QRegion& keep = {},
               bool* keptOld = nullptr);

}  // namespace vlmr
