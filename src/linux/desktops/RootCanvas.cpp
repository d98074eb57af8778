#include "RootCanvas.h"

#include <utility>

#include "ShownPicture.h"

namespace vlmr {
namespace {

constexpr char kNotSent[] = "the picture cannot be sent: no memory to convert it, or its file changed";

XRectangle ToX(const Rect& rect) {
    return {static_cast<short>(rect.x), static_cast<short>(rect.y), static_cast<unsigned short>(rect.width),
            static_cast<unsigned short>(rect.height)};
}

}  // namespace

RootCanvas::RootCanvas(Display* display, PictureDecoder* others)
    : display_(display), others_(others), upload_(display),
      screen_{0, 0, DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display))},
      depth_(DefaultDepth(display, DefaultScreen(display))), drawn_(XCreateRegion()) {}

RootCanvas::~RootCanvas() {
    if (target_ != 0) XRenderFreePicture(display_, target_);
    if (gc_ != nullptr) XFreeGC(display_, gc_);
    if (pixmap_ != 0) XFreePixmap(display_, pixmap_);
    XDestroyRegion(drawn_);
}

bool RootCanvas::Draw(const PictureBytes& picture, std::uint32_t style, const Rect& area, std::string& why) {
    if (DefaultVisual(display_, DefaultScreen(display_))->c_class != TrueColor) {
        why = "the screen shows no true colour";
        return false;
    }
    ShownPicture part;
    if (!part.Prepare(picture, others_, style, area.width, area.height, why)) return false;
    const RootLayout& layout = part.layout();
    const Rect& shown = layout.shown;
    const PutShown put = [&](Drawable drawable, int x, int y) { return part.Put(upload_, drawable, gc_, x, y); };

    if (pixmap_ == 0) {
        pixmap_ = XCreatePixmap(display_, DefaultRootWindow(display_), static_cast<unsigned>(screen_.width),
                                static_cast<unsigned>(screen_.height), static_cast<unsigned>(depth_));
        XGCValues values{};
        values.foreground = BlackPixel(display_, DefaultScreen(display_));
        values.graphics_exposures = False;
        gc_ = XCreateGC(display_, pixmap_, GCForeground | GCGraphicsExposures, &values);
    }
    const Rect target{area.x + layout.target.x, area.y + layout.target.y, layout.target.width, layout.target.height};
    if (shown.SameSize(target)) {
        if (!put(pixmap_, target.x, target.y)) {
            why = kNotSent;
            return false;
        }
    } else if (layout.tiled ? !Tile(put, shown, target, why)
                            : !Scale(put, shown, target, part.ScaleX(), part.ScaleY(), why)) {
        return false;
    }
    FillAround(area, target);
    XRectangle drawn = ToX(Intersect(area, screen_));
    XUnionRectWithRegion(&drawn, drawn_, drawn_);
    return true;
}

bool RootCanvas::Tile(const PutShown& put, const Rect& shown, const Rect& target, std::string& why) {
    const Pixmap tile = XCreatePixmap(display_, pixmap_, static_cast<unsigned>(shown.width),
                                      static_cast<unsigned>(shown.height), static_cast<unsigned>(depth_));
    const bool sent = put(tile, 0, 0);
    if (sent) {
        // Repeated from the area's own top-left corner.
        XSetTile(display_, gc_, tile);
        XSetTSOrigin(display_, gc_, target.x, target.y);
        XSetFillStyle(display_, gc_, FillTiled);
        XFillRectangle(display_, pixmap_, gc_, target.x, target.y, static_cast<unsigned>(target.width),
                       static_cast<unsigned>(target.height));
        XSetFillStyle(display_, gc_, FillSolid);
    }
    XFreePixmap(display_, tile);
    if (!sent) why = kNotSent;
    return sent;
}

bool RootCanvas::Scale(const PutShown& put, const Rect& shown, const Rect& target, double sx, double sy,
                       std::string& why) {
    if (format_ == nullptr) {
        int event = 0;
        int error = 0;
        int major = 0;
        int minor = 0;
        // The pad repeat, which keeps the edges from fading into black, came with RENDER 0.10.
        if (XRenderQueryExtension(display_, &event, &error) && XRenderQueryVersion(display_, &major, &minor) &&
            (major > 0 || minor >= 10))
            format_ = XRenderFindVisualFormat(display_, DefaultVisual(display_, DefaultScreen(display_)));
        if (format_ == nullptr) {
            why = "the X server cannot scale pictures: it lacks RENDER 0.10";
            return false;
        }
        target_ = XRenderCreatePicture(display_, pixmap_, format_, 0, nullptr);
    }
    const Pixmap source = XCreatePixmap(display_, pixmap_, static_cast<unsigned>(shown.width),
                                        static_cast<unsigned>(shown.height), static_cast<unsigned>(depth_));
    const bool sent = put(source, 0, 0);
    if (sent) {
        XRenderPictureAttributes attributes{};
        attributes.repeat = RepeatPad;
        const Picture picture = XRenderCreatePicture(display_, source, format_, CPRepeat, &attributes);
        XRenderSetPictureFilter(display_, picture, FilterBilinear, nullptr, 0);
        // From the target's pixel centres to the picture's.
        XTransform transform{{{XDoubleToFixed(sx), 0, 0}, {0, XDoubleToFixed(sy), 0}, {0, 0, XDoubleToFixed(1)}}};
        XRenderSetPictureTransform(display_, picture, &transform);
        XRenderComposite(display_, PictOpSrc, picture, None, target_, 0, 0, 0, 0, target.x, target.y,
                         static_cast<unsigned>(target.width), static_cast<unsigned>(target.height));
        XRenderFreePicture(display_, picture);
    }
    XFreePixmap(display_, source);
    if (!sent) why = kNotSent;
    return sent;
}

void RootCanvas::FillAround(const Rect& area, const Rect& target) {
    const int areaRight = area.x + area.width;
    const int areaBottom = area.y + area.height;
    const int right = target.x + target.width;
    const int bottom = target.y + target.height;
    const Rect around[] = {
        {area.x, area.y, area.width, target.y - area.y},
        {area.x, bottom, area.width, areaBottom - bottom},
        {area.x, target.y, target.x - area.x, target.height},
        {right, target.y, areaRight - right, target.height},
    };
    for (const Rect& rect : around)
        if (!rect.Empty())
            XFillRectangle(display_, pixmap_, gc_, rect.x, rect.y, static_cast<unsigned>(rect.width),
                           static_cast<unsigned>(rect.height));
}

Region RootCanvas::Undrawn() const {
    Region undrawn = XCreateRegion();
    XRectangle whole = ToX(screen_);
    XUnionRectWithRegion(&whole, undrawn, undrawn);
    XSubtractRegion(undrawn, drawn_, undrawn);
    return undrawn;
}

void RootCanvas::FillUndrawn() {
    if (pixmap_ == 0) return;
    Region undrawn = Undrawn();
    if (!XEmptyRegion(undrawn)) {
        XSetRegion(display_, gc_, undrawn);
        XFillRectangle(display_, pixmap_, gc_, 0, 0, static_cast<unsigned>(screen_.width),
                       static_cast<unsigned>(screen_.height));
        XSetClipMask(display_, gc_, None);
    }
    XDestroyRegion(undrawn);
}

Pixmap RootCanvas::Take() {
    if (XEmptyRegion(drawn_)) return 0;  // what a failed picture left is freed with the canvas
    return std::exchange(pixmap_, 0);
}

}  // namespace vlmr
