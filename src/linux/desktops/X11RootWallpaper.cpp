#include "X11RootWallpaper.h"

#include "DesktopSetter.h"
#include "PictureCheck.h"
#include "linux/RegularFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

// Xlib last: its macros (None, Bool, Status, Success...) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vlmr {
namespace {

const char* QtFormat(PictureFormat format) {
    switch (format) {
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Png: return "png";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Webp: return "webp";  // a plug-in: qt6-image-formats-plugins
    case PictureFormat::Unknown: break;
    }
    return "";
}

// The picture decoded from the file's bytes; a null image and why not when
// it is not shown. Only a picture that is whole in the file is decoded, by
// the decoder of the format it was checked as, and only a decode that Qt
// reports as done is shown: anything else could put memory that nobody
// wrote on the root, where every X client can read it.
QImage LoadPicture(const std::string& file, std::string& why) {
    std::string bytes;
    // Read once and bounded, without waiting on a FIFO or a device.
    if (const auto read = ReadRegularFile(file, kMaxPictureBytes, bytes); !read) {
        why = read.description;
        return {};
    }
    const PictureVerdict verdict =
        CheckPicture(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    if (!verdict.whole) {
        why = verdict.problem;
        return {};
    }

    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!buffer.open(QIODevice::ReadOnly)) {
        why = "the picture cannot be read from memory";
        return {};
    }
    // Qt's default of 128 MB would refuse an 8000 x 8000 picture; this is
    // the largest one we show, 16384 x 16384 at 32 bits a pixel (1 GiB).
    QImageReader::setAllocationLimit(kMaxDecodedMegabytes);
    QImageReader reader(&buffer, QtFormat(verdict.format));
    reader.setAutoDetectImageFormat(false);
    // The size as the decoder sees it, before it allocates anything.
    const QSize size = reader.size();
    if (size.isValid() &&
        static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) >
            kMaxPicturePixels) {
        why = "the picture is larger than 16384 x 16384 pixels";
        return {};
    }
    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        why = "the picture cannot be decoded: " + reader.errorString().toStdString();
        return {};
    }
    return picture;
}

// The middle of the picture in the screen's proportions, at least one
// pixel each way: what fills the screen once scaled. Cropping before the
// scaling keeps the work to the screen's size, however long the picture.
QRect CropToScreen(const QSize& picture, int width, int height) {
    const auto w = static_cast<std::int64_t>(picture.width());
    const auto h = static_cast<std::int64_t>(picture.height());
    if (w * height > h * width) {
        const int kept = static_cast<int>(std::max<std::int64_t>(1, (h * width + height / 2) / height));
        return {(picture.width() - kept) / 2, 0, kept, picture.height()};
    }
    const int kept = static_cast<int>(std::max<std::int64_t>(1, (w * height + width / 2) / width));
    return {0, (picture.height() - kept) / 2, picture.width(), kept};
}

// The largest size of the picture's proportions inside the screen, at
// least one pixel each way.
QSize FitInScreen(const QSize& picture, int width, int height) {
    const auto w = static_cast<std::int64_t>(picture.width());
    const auto h = static_cast<std::int64_t>(picture.height());
    if (w * height > h * width)
        return {width, static_cast<int>(std::max<std::int64_t>(1, (h * width + w / 2) / w))};
    return {static_cast<int>(std::max<std::int64_t>(1, (w * height + h / 2) / h)), height};
}

// The picture as the root window shows it, over black: around a centred
// picture, in the bars beside a fitted one and under transparent pixels
// there is nothing else to show, and black is what a screen shows for
// nothing.
QImage RenderRoot(const QImage& picture, std::uint32_t style, int width, int height) {
    QImage root(width, height, QImage::Format_RGB32);
    root.fill(Qt::black);
    QPainter painter(&root);
    switch (style) {
    case WPSTYLE_CENTER:
        painter.drawImage(width / 2 - picture.width() / 2, height / 2 - picture.height() / 2,
                          picture);
        break;
    case WPSTYLE_TILE:
        painter.fillRect(root.rect(), QBrush(picture));  // the brush starts at the top-left corner
        break;
    case WPSTYLE_KEEPASPECT: {
        const QSize size = FitInScreen(picture.size(), width, height);
        painter.drawImage((width - size.width()) / 2, (height - size.height()) / 2,
                          picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    }
    case WPSTYLE_CROPTOFIT:
        painter.drawImage(0, 0,
                          picture.copy(CropToScreen(picture.size(), width, height))
                              .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    default:
        // QImage's smooth scaling averages when shrinking; the painter's would alias.
        painter.drawImage(0, 0,
                          picture.scaled(width, height, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation));
        break;
    }
    painter.end();
    return root;
}

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

// Puts the picture on the root window of the display's default screen.
// On success the caller must close the connection, which leaves the pixmap
// to the server; on failure closing it frees whatever was made.
bool PutOnRoot(Display* display, ErrorTrap& trap, const QImage& picture, std::uint32_t style) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    const int depth = DefaultDepth(display, screen);
    // Rendered before the grab: the server waits for nobody while we scale.
    const XImagePtr image = ToXImage(display, DefaultVisual(display, screen), depth,
                                     RenderRoot(picture, style, width, height));
    if (!image) return false;

    const Atom rootId = XInternAtom(display, "_XROOTPMAP_ID", False);
    const Atom esetrootId = XInternAtom(display, "ESETROOT_PMAP_ID", False);
    // No other setter may change the properties between our read and our write.
    XGrabServer(display);
    const Pixmap old = ReadPixmapProperty(display, root, rootId);
    // Both names on one pixmap: it was left by a setter like us, whose retained
    // client is freed only by killing it. Anything else belongs to a live program.
    const bool oldIsLeftOver = old != 0 && old == ReadPixmapProperty(display, root, esetrootId);

    const Pixmap pixmap =
        XCreatePixmap(display, root, static_cast<unsigned>(width), static_cast<unsigned>(height),
                      static_cast<unsigned>(depth));
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XPutImage(display, pixmap, gc, image.get(), 0, 0, 0, 0, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
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
    return ok;
}

class X11RootDesktop final : public DesktopSetter {
public:
    explicit X11RootDesktop(Display* display) : display_(display) {}
    ~X11RootDesktop() override {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    X11RootDesktop(const X11RootDesktop&) = delete;
    X11RootDesktop& operator=(const X11RootDesktop&) = delete;

    bool Apply(const std::string& file, std::uint32_t style) override {
        std::string why;
        const QImage picture = LoadPicture(file, why);
        if (picture.isNull()) return Refuse(file, why.c_str());
        // The connection from Create is used up by an earlier apply on this object.
        if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) return Refuse(file, "the X display cannot be opened");
        ErrorTrap trap(display_);
        const bool ok = PutOnRoot(display_, trap, picture, style);
        XCloseDisplay(display_);
        display_ = nullptr;
        return ok || Refuse(file, "the root window cannot take it (an X error, or a screen "
                                   "without true colour)");
    }

private:
    Display* display_;
};

}  // namespace

std::unique_ptr<ActiveDesktop> X11RootWallpaper::Create() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        SayWallpaperUnchanged("the X display cannot be opened");
        return nullptr;
    }
    return std::make_unique<X11RootDesktop>(display);
}

}  // namespace vlmr
