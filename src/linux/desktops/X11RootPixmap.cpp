#include "X11RootPixmap.h"

#include <cstring>

#include <X11/Xatom.h>

namespace vlmr {
namespace {

Pixmap ReadPixmapProperty(Display* display, Window root, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = 0;
    if (XGetWindowProperty(display, root, property, 0, 1, False, XA_PIXMAP, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_PIXMAP && format == 32 && count == 1)
        std::memcpy(&pixmap, data, sizeof pixmap);  // format 32 arrives as longs
    if (data != nullptr) XFree(data);
    return pixmap;
}

// Whether the drawable is a pixmap (or window) of the screen's size and depth,
// whose pixels can be copied into a new root pixmap.
bool IsScreenPixmap(Display* display, ErrorTrap& trap, Pixmap pixmap, int width, int height, int depth) {
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned w = 0;
    unsigned h = 0;
    unsigned border = 0;
    unsigned d = 0;
    const bool known = XGetGeometry(display, pixmap, &root, &x, &y, &w, &h, &border, &d) != 0;
    return trap.Sync() && known && static_cast<int>(w) == width && static_cast<int>(h) == height &&
           static_cast<int>(d) == depth;
}

}  // namespace

bool ShowOnRoot(Display* display, ErrorTrap& trap, Pixmap pixmap, Region keep, bool* keptOld) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    const int depth = DefaultDepth(display, screen);
    if (keptOld != nullptr) *keptOld = false;
    // The drawing is done, and done without an error, before the grab: the
    // server waits for nobody while it draws.
    if (!trap.Sync()) return false;

    const Atom rootId = XInternAtom(display, "_XROOTPMAP_ID", False);
    const Atom esetrootId = XInternAtom(display, "ESETROOT_PMAP_ID", False);
    // No other setter may change the properties between our read and our write.
    XGrabServer(display);
    const Pixmap old = ReadPixmapProperty(display, root, rootId);
    // Both names on one pixmap: it was left by a setter like us, whose retained
    // client is freed only by killing it. Anything else belongs to a live program.
    const bool oldIsLeftOver = old != 0 && old == ReadPixmapProperty(display, root, esetrootId);
    const bool keepOld = keep != nullptr && !XEmptyRegion(keep) && old != 0 &&
                         IsScreenPixmap(display, trap, old, width, height, depth);
    if (keepOld) {
        GC gc = XCreateGC(display, pixmap, 0, nullptr);
        XSetRegion(display, gc, keep);
        XCopyArea(display, old, pixmap, gc, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 0);
        XFreeGC(display, gc);
    }
    // The picture is whole on the server before the root shows it, so a failure changes nothing.
    bool ok = trap.Sync();
    if (ok) {
        const unsigned long id = pixmap;
        const auto* bytes = reinterpret_cast<const unsigned char*>(&id);
        XChangeProperty(display, root, rootId, XA_PIXMAP, 32, PropModeReplace, bytes, 1);
        XChangeProperty(display, root, esetrootId, XA_PIXMAP, 32, PropModeReplace, bytes, 1);
        XSetWindowBackgroundPixmap(display, root, pixmap);
        XClearWindow(display, root);
        ok = trap.Sync();
    }
    // The old pixmap goes last, once nothing refers to it any more. A setter
    // that did not keep its pixmap leaves a number that may now be ours. The
    // server refuses to kill by a number that names nothing: no concern of ours.
    if (ok && oldIsLeftOver && old != pixmap) {
        XKillClient(display, old);
        trap.Sync();
    }
    XUngrabServer(display);
    if (ok) XSetCloseDownMode(display, RetainPermanent);  // the pixmap outlives this connection
    if (ok && keptOld != nullptr) *keptOld = keepOld;
    return ok;
}

}  // namespace vlmr
