#include "XBanner.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "BmpReader.h"
#include "LeanPictures.h"
#include "Twips.h"
#include "boot/BannerLayout.h"
#include "store/RunLog.h"

// Last: Xlib's macros (None, Status, Bool) would clash with the names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

namespace vlmr {
namespace {

const int kWidth = TwipsToPixels(kBannerWindow.width);
const int kHeight = TwipsToPixels(kBannerWindow.height);

enum AtomIndex { kDelete, kPid, kIcon, kType, kTypeKdeOverride, kTypeNormal, kMotifHints, kActive, kAtomCount };
const char* kAtomNames[kAtomCount] = {"WM_DELETE_WINDOW",
                                      "_NET_WM_PID",
                                      "_NET_WM_ICON",
                                      "_NET_WM_WINDOW_TYPE",
                                      "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE",
                                      "_NET_WM_WINDOW_TYPE_NORMAL",
                                      "_MOTIF_WM_HINTS",
                                      "_NET_ACTIVE_WINDOW"};

struct Rectangle {
    int x, y, width, height;
};

// The primary monitor, as the toolkit centres its windows on it; the first
// monitor without a primary one, the whole screen without RandR.
Rectangle PrimaryMonitor(Display* display, ::Window root) {
    Rectangle whole{0, 0, DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display))};
    int event = 0, error = 0, count = 0;
    if (!XRRQueryExtension(display, &event, &error)) return whole;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    if (!monitors) return whole;
    Rectangle chosen = whole;
    for (int i = count - 1; i >= 0; --i) {
        if (i == 0 || monitors[i].primary)
            chosen = {monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height};
        if (monitors[i].primary) break;
    }
    XRRFreeMonitors(monitors);
    return chosen;
}

// A colour's pixel value in a true-colour visual: each channel scaled into its mask.
unsigned long PixelOf(const Visual* visual, std::uint32_t rgb) {
    const auto channel = [rgb](unsigned long mask, int shift) {
        if (mask == 0) return 0UL;
        int low = 0;
        while (!((mask >> low) & 1)) ++low;
        const unsigned long range = mask >> low;
        const unsigned long value = (rgb >> shift) & 0xFF;
        return ((value * range + 127) / 255) << low;
    };
    return channel(visual->red_mask, 16) | channel(visual->green_mask, 8) | channel(visual->blue_mask, 0);
}

// The banner as the server shall paint it: white, the picture at the top left.
Pixmap BannerPixmap(Display* display, ::Window root) {
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    const int depth = DefaultDepth(display, screen);
    const layout::Colour& white = kBannerWindow.background;
    const std::uint32_t background = (white.red << 16) | (white.green << 8) | white.blue;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight, background);

    std::string why;
    const std::optional<BmpLayout> layout = ReadBmpLayout(kBannerBmp, kBannerBmpSize, why);
    if (!layout || layout->width > static_cast<std::uint32_t>(kWidth) ||
        layout->height > static_cast<std::uint32_t>(kHeight) ||
        !DecodeBmp(kBannerBmp, kBannerBmpSize, *layout, pixels.data(), static_cast<std::size_t>(kWidth)))
        LogError("the banner picture cannot be shown" + (why.empty() ? std::string() : ": " + why));

    const Pixmap pixmap = XCreatePixmap(display, root, kWidth, kHeight, static_cast<unsigned>(depth));
    if (visual->c_class != TrueColor && visual->c_class != DirectColor) {
        LogError("the banner picture needs a true-colour display; it shows white");
        XGCValues values{};
        values.foreground = WhitePixel(display, screen);
        const GC gc = XCreateGC(display, pixmap, GCForeground, &values);
        XFillRectangle(display, pixmap, gc, 0, 0, kWidth, kHeight);
        XFreeGC(display, gc);
        return pixmap;
    }
    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr, kWidth,
                                 kHeight, 32, 0);
    std::vector<char> data(static_cast<std::size_t>(image->bytes_per_line) * kHeight);
    image->data = data.data();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) XPutPixel(image, x, y, PixelOf(visual, pixels[y * kWidth + x]));
    const GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XPutImage(display, pixmap, gc, image, 0, 0, 0, 0, kWidth, kHeight);
    XFreeGC(display, gc);
    image->data = nullptr;  // ours, not Xlib's to free
    XDestroyImage(image);
    return pixmap;
}

}  // namespace

XBanner::XBanner(_XDisplay* display) : display_(display) {}

unsigned long XBanner::NativeWindow() {
    if (window_) return window_;
    Display* display = display_;
    const ::Window root = DefaultRootWindow(display);
    Atom atoms[kAtomCount];
    XInternAtoms(display, const_cast<char**>(kAtomNames), kAtomCount, False, atoms);
    deleteAtom_ = atoms[kDelete];
    activeAtom_ = atoms[kActive];

    // Centred as the toolkit centres: on the monitor's middle pixel.
    const Rectangle monitor = PrimaryMonitor(display, root);
    const int x = monitor.x + (monitor.width - 1) / 2 - kWidth / 2;
    const int y = monitor.y + (monitor.height - 1) / 2 - kHeight / 2;

    const Pixmap picture = BannerPixmap(display, root);
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = picture;
    attributes.border_pixel = 0;
    attributes.event_mask = ButtonPressMask | ButtonReleaseMask;
    window_ = XCreateWindow(display, root, x, y, kWidth, kHeight, 0, CopyFromParent, InputOutput, CopyFromParent,
                            CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
    XFreePixmap(display, picture);  // the window keeps its own reference

    // No name at all (WM_NAME, _NET_WM_NAME): it is not to be taken for the
    // boxes titled "Velmora", and a banner has no title bar to show one.
    static_assert(kBannerWindow.caption[0] == '\0');
    XSizeHints size{};
    size.flags = USPosition | USSize | PMinSize | PMaxSize | PWinGravity;
    size.x = x;
    size.y = y;
    size.width = size.min_width = size.max_width = kWidth;
    size.height = size.min_height = size.max_height = kHeight;
    size.win_gravity = NorthWestGravity;
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    char name[] = "VLMR";
    XClassHint type{name, name};
    XSetWMProperties(display, window_, nullptr, nullptr, nullptr, 0, &size, &hints, &type);
    XSetWMProtocols(display, window_, &atoms[kDelete], 1);

    const long pid = ::getpid();
    XChangeProperty(display, window_, atoms[kPid], XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    static_assert(kTypeNormal == kTypeKdeOverride + 1, "the two types are handed over as one array");
    // Frameless as the toolkit makes it: KWin's own type first, then Motif's
    // hints (decorations none, every function).
    XChangeProperty(display, window_, atoms[kType], XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&atoms[kTypeKdeOverride]), 2);
    const long motif[5] = {2, 1, 0, 0, 0};
    XChangeProperty(display, window_, atoms[kMotifHints], atoms[kMotifHints], 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), 5);
    // Format 32 travels as longs in Xlib, whatever their width.
    const std::vector<long> icon(kWindowIcon, kWindowIcon + kWindowIconLength);
    XChangeProperty(display, window_, atoms[kIcon], XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(icon.data()), static_cast<int>(icon.size()));
    return window_;
}

void XBanner::Show() {
    XMapWindow(display_, NativeWindow());
    // The server paints the background as it maps the window: once the map
    // has been taken, the banner is on the screen.
    XSync(display_, False);
}

void XBanner::Focus() {
    Display* display = display_;
    XRaiseWindow(display, NativeWindow());
    // Asked of the window manager, as a program asks for its own window.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = activeAtom_;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // from an application
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(display);
}

void XBanner::Hide() {
    if (!window_) return;
    XWithdrawWindow(display_, window_, DefaultScreen(display_));
    XFlush(display_);
}

void XBanner::Unload() {
    if (!window_) return;
    XDestroyWindow(display_, window_);
    window_ = 0;
    XFlush(display_);
}

WindowHandle XBanner::Handle() { return static_cast<WindowHandle>(NativeWindow()); }

void XBanner::DeliverEvents() {
    while (window_ && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.xany.window != window_) continue;
        switch (event.type) {
            case ButtonPress:
                if (event.xbutton.button == Button1) pressed_ = true;
                break;
            case ButtonRelease:
                // A click is a press and a release over the window, like a button's.
                if (event.xbutton.button == Button1 && pressed_) {
                    pressed_ = false;
                    const bool over = event.xbutton.x >= 0 && event.xbutton.x < kWidth && event.xbutton.y >= 0 &&
                                      event.xbutton.y < kHeight;
                    if (over && click_) click_();
                }
                break;
            case ClientMessage:
                // The window manager's close hides the banner; the run goes on.
                if (event.xclient.format == 32 && static_cast<Atom>(event.xclient.data.l[0]) == deleteAtom_) Hide();
                break;
            default: break;
        }
    }
}

void XBanner::DropPointerInput() {
    pressed_ = false;
    if (!window_) return;
    XSync(display_, False);
    XEvent event;
    while (XCheckWindowEvent(display_, window_, ButtonPressMask | ButtonReleaseMask, &event)) {
    }
}

}  // namespace vlmr
