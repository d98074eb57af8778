#include "X11RootPixmap.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

// After Xlib, which the header brings in last.
#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace vlmr {
namespace {

// The visual's pixel bits for every 8-bit level of one colour channel.
using ChannelTable = std::array<unsigned long, 256>;

ChannelTable MakeChannelTable(unsigned long mask) {
    ChannelTable table{};
    if (mask == 0) return table;
    const int shift = std::countr_zero(mask);
    const unsigned long top = mask >> shift;  // masks are contiguous runs of bits
    for (unsigned long level = 0; level < table.size(); ++level)
        table[level] = ((level * top + 127) / 255) << shift;
    return table;
}

struct XImageDeleter {
    void operator()(XImage* image) const { XDestroyImage(image); }  // frees the data too
};
using XImagePtr = std::unique_ptr<XImage, XImageDeleter>;

// The rendered picture in the pixel layout of a TrueColor visual; nullptr for
// other visuals, which would need a colour map of their own.
XImagePtr ToXImage(Display* display, Visual* visual, int depth, const QImage& root) {
    if (visual->c_class != TrueColor) return nullptr;
    const int width = root.width();
    const int height = root.height();
    XImagePtr image(XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                 nullptr, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 32, 0));
    if (!image) return nullptr;
    // malloc, since XDestroyImage releases the data with free.
    const auto size =
        static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height);
    image->data = static_cast<char*>(std::malloc(size));
    if (!image->data) return nullptr;

    const ChannelTable red = MakeChannelTable(visual->red_mask);
    const ChannelTable green = MakeChannelTable(visual->green_mask);
    const ChannelTable blue = MakeChannelTable(visual->blue_mask);
    const bool words = image->bits_per_pixel == 32;
    // Whole words are written in this machine's order; XPutImage swaps them if the server differs.
    if (words) image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    for (int y = 0; y < height; ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(root.constScanLine(y));
        char* row = image->data + y * image->bytes_per_line;
        for (int x = 0; x < width; ++x) {
            const QRgb rgb = source[x];
            const unsigned long pixel = red[static_cast<std::size_t>(qRed(rgb))] |
                                        green[static_cast<std::size_t>(qGreen(rgb))] |
                                        blue[static_cast<std::size_t>(qBlue(rgb))];
            if (words)
                reinterpret_cast<std::uint32_t*>(row)[x] = static_cast<std::uint32_t>(pixel);
            else
                XPutPixel(image.get(), x, y, pixel);  // 16- or packed 24-bit layouts
        }
    }
    return image;
}

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

bool PutOnRoot(Display* display, ErrorTrap& trap, const QImage& screenPicture, const QRegion& keep,
               bool* keptOld) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    const int depth = DefaultDepth(display, screen);
    if (keptOld != nullptr) *keptOld = false;
    if (screenPicture.size() != QSize(width, height)) return false;
    // Converted before the grab: the server waits for nobody while we work.
    const XImagePtr image = ToXImage(display, DefaultVisual(display, screen), depth, screenPicture);
    if (!image) return false;

    const Atom rootId = XInternAtom(display, "_XROOTPMAP_ID", False);
    const Atom esetrootId = XInternAtom(display, "ESETROOT_PMAP_ID", False);
    // No other setter may change the properties between our read and our write.
    XGrabServer(display);
    const Pixmap old = ReadPixmapProperty(display, root, rootId);
    // Both names on one pixmap: it was left by a setter like us, whose retained
    // client is freed only by killing it. Anything else belongs to a live program.
    const bool oldIsLeftOver = old != 0 && old == ReadPixmapProperty(display, root, esetrootId);
    // Asked before anything is made, since asking resets the trap.
    const bool keepOld = !keep.isEmpty() && old != 0 && IsScreenPixmap(display, trap, old, width, height, depth);

    const Pixmap pixmap =
        XCreatePixmap(display, root, static_cast<unsigned>(width), static_cast<unsigned>(height),
                      static_cast<unsigned>(depth));
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XPutImage(display, pixmap, gc, image.get(), 0, 0, 0, 0, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    if (keepOld)
        for (const QRect& rect : keep)
            XCopyArea(display, old, pixmap, gc, rect.x(), rect.y(), static_cast<unsigned>(rect.width()),
                      static_cast<unsigned>(rect.height()), rect.x(), rect.y());
    XFreeGC(display, gc);
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
